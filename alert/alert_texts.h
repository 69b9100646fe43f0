#pragma once
#include <string>

// The four strings of one alert, ANSI code page bytes.
struct AlertTexts {
    std::string dateText;
    std::string senderLine;
    std::string messageText;
    std::string colourName;
    // The sender's name from [usKarn_names], empty when it has none; the
    // window shows it in the sender line, the history in a column of its own.
    std::string senderName;
};
