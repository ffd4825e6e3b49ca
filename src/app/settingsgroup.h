#pragma once

#include <QWidget>

class QHBoxLayout;
class QVBoxLayout;
class RoundedBox;

// A settings group box: its label in the headline font above a rounded box
// of rows; each row puts its control at the trailing side, 16 points in.
class SettingsGroup final : public QWidget
{
    Q_OBJECT

public:
    explicit SettingsGroup(const QString &title, QWidget *parent = nullptr);

    // Adds a row "text ... control" and returns the control.
    QWidget *addRow(const QString &text, QWidget *control);
    // Adds a row of free content.
    QHBoxLayout *addRowLayout();
    QVBoxLayout *content() const;

private:
    RoundedBox *m_box;
};
