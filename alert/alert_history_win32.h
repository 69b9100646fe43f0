#pragma once
// Appends alert records to %LOCALAPPDATA%\Dovrel\history.csv.
#include <cstdint>
#include <ctime>

#include "alert/alert_texts.h"

// Open, append, close; rotates to history.1.csv first when the record would
// take the file past kHistoryLimitBytes. Every failure is silent and nothing
// is thrown: the alert has been shown already.
void AppendAlertHistory(const AlertTexts& texts, std::time_t arrival, int32_t messageNumber,
                        int32_t specificCode) noexcept;
