#pragma once

#include <QWidget>

class QVBoxLayout;
class RoundedBox;

// A titled section of the menu-bar panel: the title in the caption font,
// semibold, secondary, and below it the content in a rounded box.
class SectionBox final : public QWidget
{
    Q_OBJECT

public:
    explicit SectionBox(const QString &title, QWidget *parent = nullptr);
    QVBoxLayout *content() const;
    QString title() const { return m_title; }

private:
    QString m_title;
    RoundedBox *m_box;
};
