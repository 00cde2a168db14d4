#pragma once
// A Qt dialog that exposes its controls by integer id through the dialog
// logic's control interface. Texts cross the edge as Windows-1251.

#include "sheetjob/dialogs/Controls.h"

#include <QDialog>
#include <QString>

#include <map>
#include <string>

class QComboBox;
class QCheckBox;
class QPushButton;
class QLabel;
class QLineEdit;

namespace sheetjob::dialogs::qt {

/// Windows-1251 text to a QString.
QString fromCp1251(const std::string& text);
/// QString to Windows-1251; a character the code page lacks becomes "?", so a
/// field holding one reads as malformed instead of as some other value.
std::string toCp1251(const QString& text);

class QtDialog : public QDialog, public Dialog {
    Q_OBJECT
  public:
    explicit QtDialog(int templateId, QWidget* parent = nullptr);

    [[nodiscard]] int templateId() const { return templateId_; }
    /// The control of an id (null when the dialog has none); its object name is
    /// "id<number>".
    [[nodiscard]] QWidget* control(int id) const;

    // Controls are created by the template builders through these.
    QComboBox* addList(int id);
    QCheckBox* addCheckBox(int id, const std::string& caption);
    /// Buttons 1 (OK) and 2 (Cancel) close the dialog; others fire Click. OK is
    /// the default button; Enter presses whichever button has the focus.
    QPushButton* addButton(int id, const std::string& caption);
    QLabel* addStatic(int id, const std::string& text);
    /// A read-only field looks read-only and is out of the Tab order, though a
    /// click still focuses it for copying.
    QLineEdit* addField(int id, bool readOnly);

    // Dialog
    void setItemCount(int id, int count) override;
    void setItemText(int id, int index, const std::string& text) override;
    void setSelected(int id, int index) override;
    [[nodiscard]] int selected(int id) const override;
    void setChecked(int id, bool checked) override;
    [[nodiscard]] bool checked(int id) const override;
    void setEnabled(int id, bool enabled) override;
    void setText(int id, const std::string& text) override;
    [[nodiscard]] std::string text(int id) const override;
    void attach(int id, ControlCallback callback) override;
    int runModal() override;

  private:
    void registerControl(int id, QWidget* widget);
    void fire(int id, ControlEvent event);

    int templateId_;
    std::map<int, QWidget*> controls_;
    std::map<int, ControlCallback> callbacks_;
};

} // namespace sheetjob::dialogs::qt
