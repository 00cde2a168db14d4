#include "sheetjob/dialogs/qt/Templates.h"

#include "sheetjob/dialogs/DialogTexts.h"
#include "sheetjob/job/Version.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFont>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QVBoxLayout>

#include <string>
#include <string_view>

namespace sheetjob::dialogs::qt {
namespace {

QString q(std::string_view cp1251) { return fromCp1251(std::string(cp1251)); }

QLabel* label(QWidget* parent, std::string_view cp1251) { return new QLabel(q(cp1251), parent); }

QHBoxLayout* okCancelRow(QtDialog& d) {
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(d.addButton(kIdOk, std::string(text::kButtonOk)));
    row->addWidget(d.addButton(kIdCancel, std::string(text::kButtonCancel)));
    return row;
}

void buildParameters(QtDialog& d) {
    d.setWindowTitle(q(text::kParamTitle));
    auto* top = new QVBoxLayout(&d);

    auto* scales = new QGroupBox(q(text::kGroupScales), &d);
    auto* scalesGrid = new QGridLayout(scales);
    scalesGrid->addWidget(label(scales, text::kLabelCoordSystem), 0, 0);
    scalesGrid->addWidget(d.addList(kIdCoordSystem), 0, 1);
    scalesGrid->addWidget(label(scales, text::kLabelSetScale), 1, 0);
    scalesGrid->addWidget(d.addList(kIdSetScale), 1, 1);
    scalesGrid->addWidget(label(scales, text::kLabelMapScale), 2, 0);
    scalesGrid->addWidget(d.addList(kIdMapScale), 2, 1);
    top->addWidget(scales);

    auto* sheet = new QGroupBox(q(text::kGroupSheet), &d);
    auto* sheetGrid = new QGridLayout(sheet);
    sheetGrid->addWidget(label(sheet, text::kLabelBelt), 0, 0);
    sheetGrid->addWidget(label(sheet, text::kLabelZone), 0, 1);
    sheetGrid->addWidget(d.addStatic(kIdSheetNumberLabel, std::string(text::kLabelSheetNumber)), 0,
                         2);
    sheetGrid->addWidget(d.addList(kIdBelt), 1, 0);
    sheetGrid->addWidget(d.addList(kIdZone), 1, 1);
    sheetGrid->addWidget(d.addList(kIdSheetNumber), 1, 2);
    sheetGrid->addWidget(label(sheet, text::kLabelBaseTrapezium), 2, 0);
    sheetGrid->addWidget(d.addList(kIdSheetType), 2, 1, 1, 2);
    sheetGrid->addWidget(d.addButton(kIdRefine, std::string(text::kButtonRefine)), 3, 0, 1, 3);
    top->addWidget(sheet);

    top->addWidget(d.addCheckBox(kIdSubSheets, std::string(text::kCheckSubSheets)));

    auto* output = new QGroupBox(q(text::kGroupOutput), &d);
    auto* outputGrid = new QGridLayout(output);
    outputGrid->addWidget(label(output, text::kLabelResultFolder), 0, 0, 1, 2);
    QLabel* folder = d.addStatic(kIdResultFolder, std::string(text::kFolderPlaceholder));
    folder->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    folder->setMinimumWidth(320);
    folder->setTextInteractionFlags(Qt::TextSelectableByMouse);
    outputGrid->addWidget(folder, 1, 0);
    outputGrid->addWidget(d.addButton(kIdFind, std::string(text::kButtonFind)), 1, 1);
    outputGrid->setColumnStretch(0, 1);
    top->addWidget(output);

    top->addLayout(okCancelRow(d));
}

// One row of a characteristics group: label, field.
void fieldRow(QtDialog& d, QGridLayout* grid, int row, std::string_view caption, int id,
              bool readOnly) {
    grid->addWidget(label(grid->parentWidget(), caption), row, 0);
    QLineEdit* edit = d.addField(id, readOnly);
    edit->setMinimumWidth(110);
    grid->addWidget(edit, row, 1);
}

// One column of the refinement dialog: the base or the result trapezium.
QWidget* trapeziumColumn(QtDialog& d, bool base) {
    auto* column = new QWidget(&d);
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);

    auto* frame = new QGroupBox(q(base ? text::kGroupBase : text::kGroupResult), column);
    auto* grid = new QGridLayout(frame);
    int row = 0;
    if (base)
        fieldRow(d, grid, row++, text::kLabelSheetKind, kIdBaseKind, true);
    else {
        // An invisible stand-in for the sheet-kind row keeps both columns level.
        auto* standIn = new QLineEdit(frame);
        standIn->setFocusPolicy(Qt::NoFocus);
        QSizePolicy policy = standIn->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        standIn->setSizePolicy(policy);
        standIn->hide();
        grid->addWidget(standIn, row++, 1);
    }
    fieldRow(d, grid, row++, text::kLabelWidth, base ? kIdBaseWidth : kIdResultWidth, true);
    fieldRow(d, grid, row++, text::kLabelHeight, base ? kIdBaseHeight : kIdResultHeight, true);
    fieldRow(d, grid, row++, text::kLabelWest, base ? kIdBaseWest : kIdResultWest, base);
    fieldRow(d, grid, row++, text::kLabelEast, base ? kIdBaseEast : kIdResultEast, base);
    fieldRow(d, grid, row++, text::kLabelSouth, base ? kIdBaseSouth : kIdResultSouth, base);
    fieldRow(d, grid, row++, text::kLabelNorth, base ? kIdBaseNorth : kIdResultNorth, base);
    layout->addWidget(frame);

    auto* longitude =
        new QGroupBox(q(base ? text::kGroupBaseLongitude : text::kGroupResultLongitude), column);
    auto* lonGrid = new QGridLayout(longitude);
    fieldRow(d, lonGrid, 0, text::kLabelMeridianStep,
             base ? kIdBaseMeridianStep : kIdResultMeridianStep, base);
    fieldRow(d, lonGrid, 1, text::kLabelMinuteDivision, base ? kIdBaseXMinute : kIdResultXMinute,
             base);
    layout->addWidget(longitude);

    auto* latitude =
        new QGroupBox(q(base ? text::kGroupBaseLatitude : text::kGroupResultLatitude), column);
    auto* latGrid = new QGridLayout(latitude);
    fieldRow(d, latGrid, 0, text::kLabelParallelStep,
             base ? kIdBaseParallelStep : kIdResultParallelStep, base);
    fieldRow(d, latGrid, 1, text::kLabelMinuteDivision, base ? kIdBaseYMinute : kIdResultYMinute,
             base);
    layout->addWidget(latitude);
    return column;
}

void buildRefinement(QtDialog& d) {
    d.setWindowTitle(q(text::kRefineTitle));
    auto* top = new QVBoxLayout(&d);
    auto* columns = new QHBoxLayout;
    columns->addWidget(trapeziumColumn(d, true));
    columns->addWidget(trapeziumColumn(d, false));
    top->addLayout(columns);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(d.addButton(kIdTest, std::string(text::kButtonTest)));
    QLineEdit* notice = d.addField(kIdNotice, true);
    notice->setMinimumWidth(220);
    bottom->addWidget(notice, 1);
    bottom->addWidget(d.addButton(kIdOk, std::string(text::kButtonOk)));
    bottom->addWidget(d.addButton(kIdCancel, std::string(text::kButtonCancel)));
    top->addLayout(bottom);
    // The user comes to change the result trapezium: start on its first
    // editable field rather than on a read-only value.
    d.control(kIdResultWest)->setFocus();
}

constexpr int kPictureId = 109;   // the start screen's picture
constexpr int kPictureSide = 200; // pixels
void buildStart(QtDialog& d) {
    // No title bar text.
    d.setWindowTitle(QString());
    auto* top = new QHBoxLayout(&d);
    auto* picture = new QLabel(&d);
    picture->setObjectName(QStringLiteral("picture%1").arg(kPictureId));
    picture->setPixmap(startPicture(QSize(kPictureSide, kPictureSide)));
    picture->setAlignment(Qt::AlignTop);
    top->addWidget(picture);

    auto* right = new QVBoxLayout;
    auto* titleFrame = new QFrame(&d);
    titleFrame->setFrameStyle(QFrame::Box | QFrame::Plain);
    auto* titles = new QVBoxLayout(titleFrame);
    QFont bold = d.font();
    bold.setBold(true);
    for (const std::string_view line :
         {text::kStartTitle1, text::kStartTitle2, text::kStartTitle3, text::kStartTitle4}) {
        QLabel* title = label(titleFrame, line);
        title->setFont(bold);
        title->setAlignment(Qt::AlignHCenter);
        titles->addWidget(title);
    }
    right->addWidget(titleFrame);

    QLabel* purpose = label(&d, text::kStartPurpose);
    purpose->setWordWrap(true);
    right->addWidget(purpose);
    QLabel* document = label(&d, text::kStartDocument);
    document->setWordWrap(true);
    QFont italic = d.font();
    italic.setItalic(true);
    document->setFont(italic);
    right->addWidget(document);
    right->addSpacing(12);
    // The version comes from the one place the project sets it.
    const std::string version = std::string(text::kMakerVersionWord) + job::kVersion;
    for (const std::string_view line :
         {text::kMaker, text::kMakerPlace, text::kMakerYear, std::string_view(version)})
        right->addWidget(label(&d, line));
    right->addStretch(1);

    auto* row = new QHBoxLayout;
    row->addStretch(1);
    QPushButton* proceed = d.addButton(kIdOk, std::string(text::kButtonContinue));
    row->addWidget(proceed);
    right->addLayout(row);
    top->addLayout(right, 1);
    d.setMinimumWidth(720);
}

} // namespace

QPixmap startPicture(QSize size) {
    QPixmap pixmap(size);
    pixmap.fill(QColor(0xF4, 0xEF, 0xE1)); // paper
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const double w = size.width();
    const double h = size.height();
    // A trapezium narrowing to the north, as a sheet's meridians converge.
    const double margin = 0.12 * w;
    const QPointF sw(margin, h - margin), se(w - margin, h - margin);
    const QPointF nw(margin + 0.08 * w, margin), ne(w - margin - 0.08 * w, margin);
    auto lerp = [](QPointF a, QPointF b, double t) { return a + (b - a) * t; };

    // Minute frame: alternating black and white divisions along the edges.
    constexpr int kDivisions = 10;
    for (int i = 0; i < kDivisions; ++i) {
        const double t0 = double(i) / kDivisions, t1 = double(i + 1) / kDivisions;
        p.setPen(QPen(i % 2 ? Qt::white : Qt::black, 5));
        p.drawLine(lerp(sw, se, t0) + QPointF(0, 4), lerp(sw, se, t1) + QPointF(0, 4));
        p.drawLine(lerp(nw, ne, t0) - QPointF(0, 4), lerp(nw, ne, t1) - QPointF(0, 4));
        p.drawLine(lerp(sw, nw, t0) - QPointF(4, 0), lerp(sw, nw, t1) - QPointF(4, 0));
        p.drawLine(lerp(se, ne, t0) + QPointF(4, 0), lerp(se, ne, t1) + QPointF(4, 0));
    }
    // The sheet polygon and its graticule.
    QPainterPath sheet;
    sheet.moveTo(sw);
    sheet.lineTo(se);
    sheet.lineTo(ne);
    sheet.lineTo(nw);
    sheet.closeSubpath();
    p.fillPath(sheet, QColor(0xDD, 0xEB, 0xD3));
    p.setPen(QPen(QColor(0x2F, 0x5D, 0x8A), 1.2));
    constexpr int kMeridians = 4;
    constexpr int kParallels = 4;
    for (int i = 1; i < kMeridians; ++i) {
        const double t = double(i) / kMeridians;
        p.drawLine(lerp(sw, se, t), lerp(nw, ne, t));
    }
    for (int j = 1; j < kParallels; ++j) {
        const double t = double(j) / kParallels;
        p.drawLine(lerp(sw, nw, t), lerp(se, ne, t));
    }
    p.setPen(QPen(Qt::black, 2));
    p.drawPath(sheet);
    return pixmap;
}

std::unique_ptr<QtDialog> createTemplate(int templateId, QWidget* parent) {
    auto dialog = std::make_unique<QtDialog>(templateId, parent);
    switch (templateId) {
    case kTemplateParameters:
        buildParameters(*dialog);
        break;
    case kTemplateRefinement:
        buildRefinement(*dialog);
        break;
    case kTemplateStart:
        buildStart(*dialog);
        break;
    default:
        return nullptr;
    }
    return dialog;
}

} // namespace sheetjob::dialogs::qt
