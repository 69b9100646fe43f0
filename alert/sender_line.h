#pragma once
// The sender line of an alert: "From: 192.0.2.10", or with the device's name
// "From: Server room UPS (192.0.2.10)", fitted to the width of its control.
#include <functional>
#include <string>

// "From: " and the event's From text, as every alert has it.
std::string SenderLine(const std::string& fromText);
// The From text of a sender line.
std::string SenderAddress(const std::string& senderLine);

// "From: <name> (<address>)".
std::string NamedSenderLine(const std::string& name, const std::string& address);

// Width of a text as the control draws it (pixels).
using TextWidth = std::function<int(const std::string&)>;

// The named sender line if it fits width; else with the name cut between two
// characters of codePage, trailing blanks dropped and ellipsis after it, as
// much of it as fits; the address is never cut. When not even the ellipsis
// fits, the plain SenderLine of the address.
std::string FitNamedSenderLine(const std::string& name, const std::string& address, const std::string& ellipsis,
                               unsigned codePage, int width, const TextWidth& measure);
