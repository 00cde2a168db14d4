#pragma once
// The three dialog templates built as Qt dialogs: every control with its id,
// every label and group frame; the layout is our own.

#include "sheetjob/dialogs/qt/QtDialog.h"

#include <QPixmap>
#include <QSize>

#include <memory>

namespace sheetjob::dialogs::qt {

/// The dialog of a template (101, 106 or 113), or null for an unknown id.
std::unique_ptr<QtDialog> createTemplate(int templateId, QWidget* parent);

/// The start screen's picture (our own drawing: a sheet trapezium with its
/// graticule and minute frame).
QPixmap startPicture(QSize size);

} // namespace sheetjob::dialogs::qt
