#pragma once
// The trap settings as the Kalbrit dialog shows them: loading them from the
// settings file, checking what the user typed, and turning a checked form
// into the values written back to [usKarn_trap].
#include <optional>
#include <string>
#include <vector>

#include "core/dotted_ipv4.h"  // ParseDottedIPv4, which the form checks with

class ProfileReader;

enum class TrapField { Port, Timeout, Community, Target, Prohibition };

struct TrapForm {
    bool english = false;            // Lang=English, else Lang=Japanese
    std::string port = "162";
    std::string timeout = "5";
    std::string community = "vandor";
    bool allSenders = true;          // target=alls
    std::string target;              // used when allSenders is false
    bool noProhibition = true;       // prohibition=none
    std::string prohibition;         // used when noProhibition is false
    bool acceptV2c = false;          // acceptV2c=1
    bool mergeRepeats = false;       // mergeRepeats=1
};

// Why a field cannot be written; kalbrit_texts.h words it in each language.
enum class FormProblem {
    PortRange,
    TimeoutRange,
    CommunityEmpty,
    CommunityTooLong,
    CommunityControl,
    CommunityBlankEnds,
    CommunityQuoted,
    TargetNotAddress,
    TargetZero,
    MaskNotAddress,
    MaskWithoutTarget,
    MaskBlocksAll,
};

struct FormError {
    TrapField field;
    FormProblem problem;
};

struct TrapSetting {
    const char* key;
    std::string value;
    // The value an absent key has; such a key is not added to a file that
    // lacks it while it keeps that value. Null: always written.
    const char* absentMeans = nullptr;
};

// The form as the trap monitor reads the file (LoadTrapSettings): the
// same defaults and receive-timeout limits, so the user sees what is in effect.
TrapForm LoadTrapForm(ProfileReader& reader);

// The first field that cannot be written, or nothing when all are valid.
std::optional<FormError> ValidateTrapForm(const TrapForm& form);

// The [usKarn_trap] values of a form that ValidateTrapForm accepted, in
// the order the trap monitor reads them: the six keys every file gets, then
// the switches a file may lack (acceptV2c, mergeRepeats).
std::vector<TrapSetting> TrapSettingsFromForm(const TrapForm& form);
