#pragma once

#include <QFrame>

class QLabel;
class QLineEdit;
class QPushButton;

// The small window that asks for a folder name (new folder, rename): a
// title, a "Nom..." field and the buttons "Annuler" and the confirming one
// (default; Return in the field acts as it). Confirming trims whitespace and
// line breaks at both ends; a name with nothing left keeps the popover open
// and reports nothing. Closes when a click lands outside it.
class FolderNamePopover final : public QFrame
{
    Q_OBJECT

public:
    // `fieldWidth`: 220 for a new folder, 240 for a rename.
    FolderNamePopover(const QString &title, const QString &confirmText, int fieldWidth, QWidget *parent = nullptr);

    // Whitespace and line breaks removed at both ends.
    static QString trimmedName(const QString &name);

    void setText(const QString &text);
    QString text() const;
    QLineEdit *field() const { return m_field; }
    QPushButton *confirmButton() const { return m_confirm; }
    QPushButton *cancelButton() const { return m_cancel; }

    // Shows the popover with its top-left corner nearest `anchor` (global)
    // that keeps it on the screen, and focuses the field.
    void popUpAt(const QPoint &anchor);

public slots:
    // Emits confirmed(trimmed) and closes when the trimmed name is not empty.
    void confirm();

signals:
    void confirmed(const QString &name);
    // Closed by "Annuler", a click outside or Escape (not by confirming).
    void cancelled();

protected:
    void hideEvent(QHideEvent *event) override;

private:
    QLabel *m_title;
    QLineEdit *m_field;
    QPushButton *m_cancel;
    QPushButton *m_confirm;
    bool m_confirmed = false;
};
