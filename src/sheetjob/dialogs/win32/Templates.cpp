#include "sheetjob/dialogs/win32/Templates.h"

#include "sheetjob/dialogs/DialogTexts.h"
#include "sheetjob/job/Version.h"

#include <cstring>
#include <string>
#include <string_view>

namespace sheetjob::dialogs::win32 {
namespace {

// The window classes of the controls, as a dialog template names them.
constexpr WORD kButtonClass = 0x0080;
constexpr WORD kEditClass = 0x0081;
constexpr WORD kStaticClass = 0x0082;
constexpr WORD kComboBoxClass = 0x0085;
// The dialog font: the system's dialog font (Tahoma or Segoe UI) at 8 points.
constexpr WORD kFontPoints = 8;
constexpr const wchar_t* kFontFace = L"MS Shell Dlg";
// The id of a control the logic never names (labels, frames).
constexpr int kNoId = -1;
constexpr int kPictureId = 109; // the start screen's picture
// The ids of the group frames' captions, in the order the frames are made.
constexpr int kFirstCaptionId = 3001;

// Styles of the control kinds.
constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kLabel = kChild | SS_LEFT | SS_NOPREFIX;
// A group frame leaves alone the controls made before it (its caption).
constexpr DWORD kGroupFrame = kChild | BS_GROUPBOX | WS_CLIPSIBLINGS;
constexpr DWORD kList = kChild | WS_TABSTOP | WS_GROUP | WS_VSCROLL | CBS_DROPDOWNLIST;
constexpr DWORD kButton = kChild | WS_TABSTOP | WS_GROUP | BS_PUSHBUTTON;
constexpr DWORD kDefaultButton = kChild | WS_TABSTOP | WS_GROUP | BS_DEFPUSHBUTTON;
constexpr DWORD kCheckBox = kChild | WS_TABSTOP | WS_GROUP | BS_AUTOCHECKBOX;
constexpr DWORD kField = kChild | WS_TABSTOP | WS_GROUP | WS_BORDER | ES_AUTOHSCROLL;
// Read-only fields are out of the Tab order: nothing to type there.
constexpr DWORD kReadOnlyField = kChild | WS_BORDER | ES_AUTOHSCROLL | ES_READONLY;
constexpr DWORD kDialog =
    DS_SHELLFONT | DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU;

// Heights of a row in dialog units: a label's text, a list or field, a button.
constexpr short kTextHeight = 8;
constexpr short kFieldHeight = 12;
constexpr short kButtonHeight = 14;

/// A position and size in dialog units.
struct Box {
    short x, y, cx, cy;
};

/// An extended dialog template (DLGTEMPLATEEX and its DLGITEMTEMPLATEEX items)
/// written into a byte buffer.
class TemplateWriter {
  public:
    TemplateWriter(std::string_view title, short width, short height) {
        put<WORD>(1);      // dlgVer
        put<WORD>(0xFFFF); // signature of the extended form
        put<DWORD>(0);     // helpID
        put<DWORD>(0);     // exStyle
        put<DWORD>(kDialog);
        countAt_ = bytes_.size();
        put<WORD>(0); // cDlgItems, counted as items are added
        put<short>(0);
        put<short>(0);
        put<short>(width);
        put<short>(height);
        put<WORD>(0); // no menu
        put<WORD>(0); // the standard dialog class
        putText(fromCp1251(title));
        put<WORD>(kFontPoints);
        put<WORD>(FW_NORMAL);
        put<BYTE>(FALSE); // not italic
        put<BYTE>(DEFAULT_CHARSET);
        putText(kFontFace);
    }

    void add(int id, WORD controlClass, DWORD style, Box box, std::string_view text = {}) {
        align();
        put<DWORD>(0); // helpID
        put<DWORD>(0); // exStyle
        put<DWORD>(style);
        put<short>(box.x);
        put<short>(box.y);
        put<short>(box.cx);
        put<short>(box.cy);
        put<DWORD>(static_cast<DWORD>(id));
        put<WORD>(0xFFFF); // the class by its ordinal
        put<WORD>(controlClass);
        putText(fromCp1251(text));
        put<WORD>(0); // no creation data
        WORD count = 0;
        std::memcpy(&count, bytes_.data() + countAt_, sizeof count);
        ++count;
        std::memcpy(bytes_.data() + countAt_, &count, sizeof count);
    }

    void label(Box box, std::string_view text, DWORD extra = 0) {
        add(kNoId, kStaticClass, kLabel | extra, box, text);
    }
    /// A group frame. Its caption is a label of its own over the frame's top
    /// line, fitted to its text once the dialog is made (fitCaptions): Wine
    /// measures a group box's own caption short where it holds two blanks in a
    /// row, and cuts its last letter.
    void frame(Box box, std::string_view text) {
        constexpr short kCaptionIndent = 5;
        add(nextCaption_++, kStaticClass, kLabel,
            {static_cast<short>(box.x + kCaptionIndent), box.y,
             static_cast<short>(box.cx - 2 * kCaptionIndent), kTextHeight},
            text);
        add(kNoId, kButtonClass, kGroupFrame, box);
    }

    [[nodiscard]] const std::vector<unsigned char>& bytes() const { return bytes_; }

  private:
    template <typename T> void put(T value) {
        const std::size_t at = bytes_.size();
        bytes_.resize(at + sizeof value);
        std::memcpy(bytes_.data() + at, &value, sizeof value);
    }
    void putText(const std::wstring& text) {
        for (const wchar_t c : text)
            put<WORD>(static_cast<WORD>(c));
        put<WORD>(0);
    }
    void align() {
        while (bytes_.size() % sizeof(DWORD) != 0)
            bytes_.push_back(0);
    }

    std::vector<unsigned char> bytes_;
    std::size_t countAt_ = 0;
    int nextCaption_ = kFirstCaptionId;
};

// How far a list drops down (its item list), in dialog units.
constexpr short kDropHeight = 160;

// ---------------------------------------------------------------------------
// Main parameter dialog (template 101)

std::vector<unsigned char> parameters() {
    // Wide enough for the title in the caption bar.
    constexpr short kWidth = 336;
    constexpr short kFrameWidth = kWidth - 14;
    TemplateWriter t(text::kParamTitle, kWidth, 240);
    constexpr short kLabelX = 16, kListX = 132, kListWidth = kWidth - kListX - 16;

    t.frame({7, 6, kFrameWidth, 62}, text::kGroupScales);
    t.label({kLabelX, 21, 112, kTextHeight}, text::kLabelCoordSystem);
    t.add(kIdCoordSystem, kComboBoxClass, kList, {kListX, 19, kListWidth, kDropHeight});
    t.label({kLabelX, 37, 112, kTextHeight}, text::kLabelSetScale);
    t.add(kIdSetScale, kComboBoxClass, kList, {kListX, 35, kListWidth, kDropHeight});
    t.label({kLabelX, 53, 112, kTextHeight}, text::kLabelMapScale);
    t.add(kIdMapScale, kComboBoxClass, kList, {kListX, 51, kListWidth, kDropHeight});

    t.frame({7, 73, kFrameWidth, 82}, text::kGroupSheet);
    t.label({kLabelX, 86, 50, kTextHeight}, text::kLabelBelt);
    t.label({76, 86, 50, kTextHeight}, text::kLabelZone);
    t.add(kIdSheetNumberLabel, kStaticClass, kLabel, {136, 86, 80, kTextHeight},
          text::kLabelSheetNumber);
    t.add(kIdBelt, kComboBoxClass, kList, {kLabelX, 96, 50, kDropHeight});
    t.add(kIdZone, kComboBoxClass, kList, {76, 96, 50, kDropHeight});
    t.add(kIdSheetNumber, kComboBoxClass, kList, {136, 96, 70, kDropHeight});
    t.label({kLabelX, 117, 100, kTextHeight}, text::kLabelBaseTrapezium);
    t.add(kIdSheetType, kComboBoxClass, kList, {120, 115, 110, kDropHeight});
    t.add(kIdRefine, kButtonClass, kButton, {kLabelX, 134, 214, kButtonHeight},
          text::kButtonRefine);

    t.add(kIdSubSheets, kButtonClass, kCheckBox, {kLabelX, 161, 300, 10}, text::kCheckSubSheets);

    constexpr short kFindWidth = 54;
    constexpr short kFindX = kWidth - 16 - kFindWidth;
    t.frame({7, 176, kFrameWidth, 40}, text::kGroupOutput);
    t.label({kLabelX, 188, 200, kTextHeight}, text::kLabelResultFolder);
    // The folder shown whole where it fits, shortened in its middle where not.
    t.add(kIdResultFolder, kStaticClass, kLabel | SS_SUNKEN | SS_PATHELLIPSIS | SS_CENTERIMAGE,
          {kLabelX, 198, kFindX - 6 - kLabelX, kFieldHeight}, text::kFolderPlaceholder);
    t.add(kIdFind, kButtonClass, kButton, {kFindX, 197, kFindWidth, kButtonHeight},
          text::kButtonFind);

    t.add(kIdOk, kButtonClass, kDefaultButton, {kWidth - 118, 222, 52, kButtonHeight},
          text::kButtonOk);
    t.add(kIdCancel, kButtonClass, kButton, {kWidth - 59, 222, 52, kButtonHeight},
          text::kButtonCancel);
    return t.bytes();
}

// ---------------------------------------------------------------------------
// Trapezium refinement dialog (template 113)

constexpr short kColumnWidth = 196;
constexpr short kRowStep = 15;
constexpr short kColumnLabelWidth = 118;
constexpr short kColumnFieldWidth = 58;

/// One row of a characteristics group: label, field (`wide` for a text, from
/// the middle of the column).
void fieldRow(TemplateWriter& t, short x, short y, std::string_view caption, int id, bool readOnly,
              bool wide = false) {
    constexpr short kWideFieldX = 64;
    const short labelWidth = wide ? kWideFieldX - 12 : kColumnLabelWidth;
    const short fieldX = static_cast<short>(x + (wide ? kWideFieldX : 12 + kColumnLabelWidth));
    const short fieldWidth =
        wide ? static_cast<short>(kColumnLabelWidth + 12 + kColumnFieldWidth - kWideFieldX)
             : kColumnFieldWidth;
    t.label({static_cast<short>(x + 8), static_cast<short>(y + 2), labelWidth, kTextHeight},
            caption);
    t.add(id, kEditClass, readOnly ? kReadOnlyField : kField,
          {fieldX, y, fieldWidth, kFieldHeight});
}

/// One column: the base trapezium (read-only) or the result one (its bounds,
/// spacings and divisions editable). Both columns have the same rows, so that
/// they stand level; the result column leaves the sheet-kind row empty.
void trapeziumColumn(TemplateWriter& t, short x, bool base) {
    constexpr short kTop = 6;
    constexpr short kFirstRow = kTop + 12;
    const bool editable = !base;
    t.frame({x, kTop, kColumnWidth, 7 * kRowStep + 16},
            base ? text::kGroupBase : text::kGroupResult);
    short y = kFirstRow;
    if (base)
        fieldRow(t, x, y, text::kLabelSheetKind, kIdBaseKind, true, true);
    y += kRowStep;
    fieldRow(t, x, y, text::kLabelWidth, base ? kIdBaseWidth : kIdResultWidth, true);
    y += kRowStep;
    fieldRow(t, x, y, text::kLabelHeight, base ? kIdBaseHeight : kIdResultHeight, true);
    y += kRowStep;
    fieldRow(t, x, y, text::kLabelWest, base ? kIdBaseWest : kIdResultWest, !editable);
    y += kRowStep;
    fieldRow(t, x, y, text::kLabelEast, base ? kIdBaseEast : kIdResultEast, !editable);
    y += kRowStep;
    fieldRow(t, x, y, text::kLabelSouth, base ? kIdBaseSouth : kIdResultSouth, !editable);
    y += kRowStep;
    fieldRow(t, x, y, text::kLabelNorth, base ? kIdBaseNorth : kIdResultNorth, !editable);

    // The graticule along the parallels, then along the meridians: a group of
    // two rows each, the spacing and the minute division.
    const auto graticuleGroup = [&](short top, std::string_view caption, std::string_view stepLabel,
                                    int stepId, int divisionId) {
        t.frame({x, top, kColumnWidth, 2 * kRowStep + 16}, caption);
        fieldRow(t, x, static_cast<short>(top + 12), stepLabel, stepId, !editable);
        fieldRow(t, x, static_cast<short>(top + 12 + kRowStep), text::kLabelMinuteDivision,
                 divisionId, !editable);
    };
    y = kTop + 7 * kRowStep + 22;
    graticuleGroup(y, base ? text::kGroupBaseLongitude : text::kGroupResultLongitude,
                   text::kLabelMeridianStep, base ? kIdBaseMeridianStep : kIdResultMeridianStep,
                   base ? kIdBaseXMinute : kIdResultXMinute);
    y += 2 * kRowStep + 22;
    graticuleGroup(y, base ? text::kGroupBaseLatitude : text::kGroupResultLatitude,
                   text::kLabelParallelStep, base ? kIdBaseParallelStep : kIdResultParallelStep,
                   base ? kIdBaseYMinute : kIdResultYMinute);
}

std::vector<unsigned char> refinement() {
    constexpr short kWidth = 2 * kColumnWidth + 21;
    constexpr short kBottom = 6 + 7 * kRowStep + 22 + 2 * (2 * kRowStep + 22);
    TemplateWriter t(text::kRefineTitle, kWidth, kBottom + 24);
    // The base column first: its fields are no tab stops, so the focus starts
    // on the first field the user came to change, the result's west bound.
    trapeziumColumn(t, 7, true);
    trapeziumColumn(t, 7 + kColumnWidth + 7, false);
    const short y = kBottom + 4;
    t.add(kIdTest, kButtonClass, kButton, {7, y, 50, kButtonHeight}, text::kButtonTest);
    t.add(kIdNotice, kEditClass, kReadOnlyField,
          {63, static_cast<short>(y + 1), 222, kFieldHeight});
    t.add(kIdOk, kButtonClass, kDefaultButton, {kWidth - 118, y, 52, kButtonHeight},
          text::kButtonOk);
    t.add(kIdCancel, kButtonClass, kButton, {kWidth - 59, y, 52, kButtonHeight},
          text::kButtonCancel);
    return t.bytes();
}

// ---------------------------------------------------------------------------
// Start screen (template 106): no title text

// The ids of the start screen's lines, so that the titles can be set in bold.
enum StartLine : int { kIdTitle1 = 2001, kIdTitle2, kIdTitle3, kIdTitle4, kIdDocument };

std::vector<unsigned char> start() {
    constexpr short kWidth = 420;
    TemplateWriter t({}, kWidth, 170);
    t.add(kPictureId, kStaticClass, kChild | SS_OWNERDRAW, {7, 7, 120, 120});
    constexpr short kRight = 136, kRightWidth = kWidth - kRight - 7;
    t.add(kNoId, kStaticClass, kChild | SS_ETCHEDFRAME, {kRight, 7, kRightWidth, 52});
    short y = 12;
    for (const auto& [id, line] :
         {std::pair{kIdTitle1, text::kStartTitle1}, std::pair{kIdTitle2, text::kStartTitle2},
          std::pair{kIdTitle3, text::kStartTitle3}, std::pair{kIdTitle4, text::kStartTitle4}}) {
        t.add(id, kStaticClass, kLabel | SS_CENTER,
              {static_cast<short>(kRight + 4), y, static_cast<short>(kRightWidth - 8), 10}, line);
        y += 11;
    }
    t.label({kRight, 66, kRightWidth, 18}, text::kStartPurpose);
    t.add(kIdDocument, kStaticClass, kLabel, {kRight, 86, kRightWidth, 18}, text::kStartDocument);
    y = 112;
    const std::string version = std::string(text::kMakerVersionWord) + job::kVersion;
    for (const std::string_view line :
         {text::kMaker, text::kMakerPlace, text::kMakerYear, std::string_view(version)}) {
        t.label({kRight, y, kRightWidth, kTextHeight}, line);
        y += 10;
    }
    t.add(kIdOk, kButtonClass, kDefaultButton, {kWidth - 77, 150, 70, kButtonHeight},
          text::kButtonContinue);
    return t.bytes();
}

void drawStartItem(const DRAWITEMSTRUCT& item) {
    if (item.CtlID == static_cast<UINT>(kPictureId))
        drawStartPicture(item.hDC, item.rcItem);
}

/// Narrows every group frame's caption to its text (and a blank's width on
/// either side), so that the frame's top line shows beside it.
void fitCaptions(Win32Dialog& dialog) {
    const HDC dc = GetDC(dialog.window());
    for (int id = kFirstCaptionId;; ++id) {
        const HWND caption = dialog.control(id);
        if (caption == nullptr)
            break;
        std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(caption)) + 1, L'\0');
        text.resize(static_cast<std::size_t>(
            GetWindowTextW(caption, text.data(), static_cast<int>(text.size()))));
        text = L' ' + text + L' ';
        const HGDIOBJ old =
            SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(caption, WM_GETFONT, 0, 0)));
        SIZE extent{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
        SelectObject(dc, old);
        SetWindowTextW(caption, text.c_str());
        RECT box{};
        GetWindowRect(caption, &box);
        SetWindowPos(caption, nullptr, 0, 0, extent.cx, box.bottom - box.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ReleaseDC(dialog.window(), dc);
}

/// The dialog's font in bold or italic, for the start screen's titles and the
/// document's name.
HFONT styledFont(HWND dialog, bool bold, bool italic) {
    LOGFONTW face{};
    const auto font = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
    GetObjectW(font, sizeof face, &face);
    if (bold)
        face.lfWeight = FW_BOLD;
    face.lfItalic = italic ? TRUE : FALSE;
    return CreateFontIndirectW(&face);
}

} // namespace

void drawStartPicture(HDC dc, const RECT& area) {
    const double w = area.right - area.left;
    const double h = area.bottom - area.top;
    const auto at = [&](double x, double y) {
        return POINT{area.left + static_cast<LONG>(x), area.top + static_cast<LONG>(y)};
    };
    const HBRUSH paper = CreateSolidBrush(RGB(0xF4, 0xEF, 0xE1));
    FillRect(dc, &area, paper);
    DeleteObject(paper);

    // A trapezium narrowing to the north, as a sheet's meridians converge.
    const double margin = 0.12 * w;
    const double sw[2] = {margin, h - margin}, se[2] = {w - margin, h - margin};
    const double nw[2] = {margin + 0.08 * w, margin}, ne[2] = {w - margin - 0.08 * w, margin};
    const auto lerp = [](const double* a, const double* b, double t, double dx, double dy) {
        return std::pair{a[0] + (b[0] - a[0]) * t + dx, a[1] + (b[1] - a[1]) * t + dy};
    };
    const auto line = [&](std::pair<double, double> a, std::pair<double, double> b) {
        const POINT p = at(a.first, a.second), q = at(b.first, b.second);
        MoveToEx(dc, p.x, p.y, nullptr);
        LineTo(dc, q.x, q.y);
    };
    const double frameGap = w / 50, frameWidth = w / 40;

    // Minute frame: alternating black and white divisions along the edges.
    constexpr int kDivisions = 10;
    const HPEN black = CreatePen(PS_SOLID, static_cast<int>(frameWidth), RGB(0, 0, 0));
    const HPEN white = CreatePen(PS_SOLID, static_cast<int>(frameWidth), RGB(0xFF, 0xFF, 0xFF));
    const HGDIOBJ oldPen = SelectObject(dc, black);
    for (int i = 0; i < kDivisions; ++i) {
        const double t0 = double(i) / kDivisions, t1 = double(i + 1) / kDivisions;
        SelectObject(dc, i % 2 ? white : black);
        line(lerp(sw, se, t0, 0, frameGap), lerp(sw, se, t1, 0, frameGap));
        line(lerp(nw, ne, t0, 0, -frameGap), lerp(nw, ne, t1, 0, -frameGap));
        line(lerp(sw, nw, t0, -frameGap, 0), lerp(sw, nw, t1, -frameGap, 0));
        line(lerp(se, ne, t0, frameGap, 0), lerp(se, ne, t1, frameGap, 0));
    }

    // The sheet polygon and its graticule.
    const POINT sheet[4] = {at(sw[0], sw[1]), at(se[0], se[1]), at(ne[0], ne[1]), at(nw[0], nw[1])};
    const HBRUSH land = CreateSolidBrush(RGB(0xDD, 0xEB, 0xD3));
    const HPEN none = static_cast<HPEN>(GetStockObject(NULL_PEN));
    SelectObject(dc, none);
    const HGDIOBJ oldBrush = SelectObject(dc, land);
    Polygon(dc, sheet, 4);
    const HPEN blue = CreatePen(PS_SOLID, 1, RGB(0x2F, 0x5D, 0x8A));
    SelectObject(dc, blue);
    constexpr int kMeridians = 4, kParallels = 4;
    for (int i = 1; i < kMeridians; ++i)
        line(lerp(sw, se, double(i) / kMeridians, 0, 0),
             lerp(nw, ne, double(i) / kMeridians, 0, 0));
    for (int j = 1; j < kParallels; ++j)
        line(lerp(sw, nw, double(j) / kParallels, 0, 0),
             lerp(se, ne, double(j) / kParallels, 0, 0));
    const HPEN outline = CreatePen(PS_SOLID, 2, RGB(0, 0, 0));
    SelectObject(dc, outline);
    SelectObject(dc, GetStockObject(NULL_BRUSH));
    Polygon(dc, sheet, 4);

    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    for (HGDIOBJ object :
         {static_cast<HGDIOBJ>(black), static_cast<HGDIOBJ>(white), static_cast<HGDIOBJ>(land),
          static_cast<HGDIOBJ>(blue), static_cast<HGDIOBJ>(outline)})
        DeleteObject(object);
}

std::unique_ptr<Win32Dialog> createTemplate(int templateId, HWND owner) {
    switch (templateId) {
    case kTemplateParameters: {
        auto dialog = std::make_unique<Win32Dialog>(templateId, parameters(), owner);
        fitCaptions(*dialog);
        return dialog;
    }
    case kTemplateRefinement: {
        auto dialog = std::make_unique<Win32Dialog>(templateId, refinement(), owner);
        fitCaptions(*dialog);
        return dialog;
    }
    case kTemplateStart: {
        auto dialog = std::make_unique<Win32Dialog>(templateId, start(), owner, &drawStartItem);
        dialog->setControlFont({kIdTitle1, kIdTitle2, kIdTitle3, kIdTitle4},
                               styledFont(dialog->window(), true, false));
        dialog->setControlFont({kIdDocument}, styledFont(dialog->window(), false, true));
        return dialog;
    }
    default:
        return nullptr;
    }
}

} // namespace sheetjob::dialogs::win32
