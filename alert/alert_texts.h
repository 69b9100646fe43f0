#pragma once
#include <string>

// The four strings of one alert, ANSI code page bytes.
struct AlertTexts {
    std::string dateText;
    std::string senderLine;
    std::string messageText;
    std::string colourName;
};
