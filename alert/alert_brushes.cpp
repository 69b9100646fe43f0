#include "alert/alert_brushes.h"

#include "alert/alert_list.h"

namespace {
struct AlertPalette {
    COLORREF red, orange, green;
    HBRUSH redBrush, orangeBrush, greenBrush;
};
AlertPalette g_palette = {kColourRed, kColourOrange, kColourGreen, nullptr, nullptr, nullptr};
}  // namespace

void CreateAlertBrushes() {
    g_palette.red = kColourRed;
    g_palette.orange = kColourOrange;
    g_palette.green = kColourGreen;
    g_palette.redBrush = CreateSolidBrush(g_palette.red);
    g_palette.orangeBrush = CreateSolidBrush(g_palette.orange);
    g_palette.greenBrush = CreateSolidBrush(g_palette.green);
}

void DeleteAlertBrushes() {
    HBRUSH* brushes[] = {&g_palette.redBrush, &g_palette.orangeBrush, &g_palette.greenBrush};
    for (HBRUSH* brush : brushes) {
        if (*brush) DeleteObject(*brush);
        *brush = nullptr;
    }
}

HBRUSH AlertBrushFor(COLORREF colour) {
    HBRUSH brush = g_palette.orangeBrush;
    if (colour == g_palette.red) brush = g_palette.redBrush;
    if (colour == g_palette.green) brush = g_palette.greenBrush;
    if (colour == g_palette.orange) brush = g_palette.orangeBrush;
    return brush;
}
