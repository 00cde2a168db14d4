#include "sheetjob/dialogs/qt/QtDialog.h"

#include "sheetjob/common/Cp1251.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QSignalBlocker>

namespace sheetjob::dialogs::qt {

QString fromCp1251(const std::string& text) {
    return QString::fromStdString(common::cp1251ToUtf8(text));
}

std::string toCp1251(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    if (auto whole = common::utf8ToCp1251(
            std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size()))))
        return *whole;
    std::string out;
    for (const char32_t cp : text.toUcs4()) {
        const QByteArray one = QString::fromUcs4(&cp, 1).toUtf8();
        const auto converted = common::utf8ToCp1251(
            std::string_view(one.constData(), static_cast<std::size_t>(one.size())));
        out += converted ? *converted : std::string("?");
    }
    return out;
}

QtDialog::QtDialog(int templateId, QWidget* parent) : QDialog(parent), templateId_(templateId) {
    setObjectName(QStringLiteral("template%1").arg(templateId));
}

QWidget* QtDialog::control(int id) const {
    const auto it = controls_.find(id);
    return it == controls_.end() ? nullptr : it->second;
}

void QtDialog::registerControl(int id, QWidget* widget) {
    widget->setObjectName(QStringLiteral("id%1").arg(id));
    controls_[id] = widget;
}

QComboBox* QtDialog::addList(int id) {
    auto* combo = new QComboBox(this);
    registerControl(id, combo);
    // Programmatic changes run under a signal blocker, so only the user's
    // changes of selection reach the callbacks.
    connect(combo, &QComboBox::currentIndexChanged, this,
            [this, id](int) { fire(id, ControlEvent::SelectionChange); });
    return combo;
}

QCheckBox* QtDialog::addCheckBox(int id, const std::string& caption) {
    auto* box = new QCheckBox(fromCp1251(caption), this);
    registerControl(id, box);
    connect(box, &QCheckBox::clicked, this, [this, id](bool) { fire(id, ControlEvent::Click); });
    return box;
}

QPushButton* QtDialog::addButton(int id, const std::string& caption) {
    auto* button = new QPushButton(fromCp1251(caption), this);
    registerControl(id, button);
    // As in native dialogs, Enter presses the button that has the focus (so
    // Enter on "Cancel" cancels); with the focus on a field, list or check box
    // it presses OK, the dialog's default button.
    button->setAutoDefault(true);
    if (id == kIdOk) {
        button->setDefault(true);
        connect(button, &QPushButton::clicked, this, [this] { done(kIdOk); });
    } else if (id == kIdCancel) {
        connect(button, &QPushButton::clicked, this, [this] { done(kIdCancel); });
    } else {
        connect(button, &QPushButton::clicked, this,
                [this, id](bool) { fire(id, ControlEvent::Click); });
    }
    return button;
}

QLabel* QtDialog::addStatic(int id, const std::string& text) {
    auto* label = new QLabel(fromCp1251(text), this);
    registerControl(id, label);
    return label;
}

QLineEdit* QtDialog::addField(int id, bool readOnly) {
    auto* edit = new QLineEdit(this);
    registerControl(id, edit);
    edit->setReadOnly(readOnly);
    if (readOnly) {
        // Nothing to type there, so Tab passes it by; a click still gives it
        // the focus, so its text can be selected and copied.
        edit->setFocusPolicy(Qt::ClickFocus);
        // Drawn on the dialog's own background rather than an input field's
        // white, the text as readable as in any field.
        QPalette palette = edit->palette();
        palette.setBrush(QPalette::Base, palette.brush(QPalette::Window));
        edit->setPalette(palette);
    }
    return edit;
}

void QtDialog::fire(int id, ControlEvent event) {
    const auto it = callbacks_.find(id);
    if (it == callbacks_.end())
        return;
    // A copy: the callback may replace itself.
    const ControlCallback callback = it->second;
    callback(*this, id, event);
}

void QtDialog::setItemCount(int id, int count) {
    auto* combo = qobject_cast<QComboBox*>(control(id));
    if (!combo)
        return;
    const QSignalBlocker block(combo);
    const int keep = combo->currentIndex();
    while (combo->count() > count)
        combo->removeItem(combo->count() - 1);
    while (combo->count() < count)
        combo->addItem(QString());
    combo->setCurrentIndex(keep >= 0 && keep < count ? keep : -1);
}

void QtDialog::setItemText(int id, int index, const std::string& text) {
    auto* combo = qobject_cast<QComboBox*>(control(id));
    if (!combo || index < 1 || index > combo->count())
        return;
    const QSignalBlocker block(combo);
    combo->setItemText(index - 1, fromCp1251(text));
}

void QtDialog::setSelected(int id, int index) {
    auto* combo = qobject_cast<QComboBox*>(control(id));
    if (!combo)
        return;
    const QSignalBlocker block(combo);
    combo->setCurrentIndex(index >= 1 && index <= combo->count() ? index - 1 : -1);
}

int QtDialog::selected(int id) const {
    const auto* combo = qobject_cast<QComboBox*>(control(id));
    return combo ? combo->currentIndex() + 1 : 0;
}

void QtDialog::setChecked(int id, bool checked) {
    if (auto* box = qobject_cast<QCheckBox*>(control(id))) {
        const QSignalBlocker block(box);
        box->setChecked(checked);
    }
}

bool QtDialog::checked(int id) const {
    const auto* box = qobject_cast<QCheckBox*>(control(id));
    return box && box->isChecked();
}

void QtDialog::setEnabled(int id, bool enabled) {
    if (QWidget* widget = control(id))
        widget->setEnabled(enabled);
}

void QtDialog::setText(int id, const std::string& text) {
    QWidget* widget = control(id);
    const QString value = fromCp1251(text);
    if (auto* edit = qobject_cast<QLineEdit*>(widget))
        edit->setText(value);
    else if (auto* label = qobject_cast<QLabel*>(widget))
        label->setText(value);
    else if (auto* button = qobject_cast<QAbstractButton*>(widget))
        button->setText(value);
}

std::string QtDialog::text(int id) const {
    QWidget* widget = control(id);
    if (const auto* edit = qobject_cast<QLineEdit*>(widget))
        return toCp1251(edit->text());
    if (const auto* label = qobject_cast<QLabel*>(widget))
        return toCp1251(label->text());
    if (const auto* button = qobject_cast<QAbstractButton*>(widget))
        return toCp1251(button->text());
    if (const auto* combo = qobject_cast<QComboBox*>(widget))
        return toCp1251(combo->currentText());
    return {};
}

void QtDialog::attach(int id, ControlCallback callback) { callbacks_[id] = std::move(callback); }

int QtDialog::runModal() { return exec() == kIdOk ? kIdOk : kIdCancel; }

} // namespace sheetjob::dialogs::qt
