#pragma once
// Where Dovrel keeps its alert history: %LOCALAPPDATA%\Dovrel, per user and
// writable without elevation.
#include <string>

// The folder's path, made when missing if create is set; empty when the
// user's local application-data folder cannot be had (or made).
std::wstring HistoryFolderPath(bool create);
