#pragma once
// The three alert colours and their solid brushes, made at start-up and
// released at shutdown; the alert windows only read them.
#include <windows.h>

void CreateAlertBrushes();
void DeleteAlertBrushes();

// The brush for an alert colour: red and green for theirs, orange for any
// other. Null before CreateAlertBrushes and after DeleteAlertBrushes.
HBRUSH AlertBrushFor(COLORREF colour);
