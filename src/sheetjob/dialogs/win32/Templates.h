#pragma once
// The three dialog templates as Win32 dialog templates built in memory from
// the system's texts: every control with its id, every label and group frame,
// laid out in dialog units (so they grow with the system's font and DPI).

#include "sheetjob/dialogs/win32/Win32Dialog.h"

#include <memory>

namespace sheetjob::dialogs::win32 {

/// The dialog of a template (101, 106 or 113), hidden, owned by `owner`; null
/// for an unknown id.
std::unique_ptr<Win32Dialog> createTemplate(int templateId, HWND owner);

/// Paints the start screen's picture (our own drawing: a sheet trapezium with
/// its graticule and minute frame) into the rectangle.
void drawStartPicture(HDC dc, const RECT& area);

} // namespace sheetjob::dialogs::win32
