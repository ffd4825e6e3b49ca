#include "searchtextfield.h"

SearchTextField::SearchTextField(QWidget *parent)
    : QLineEdit(parent)
{
    setObjectName(QStringLiteral("SearchTextField"));
    setPlaceholderText(QStringLiteral("Rechercher..."));
    setFixedWidth(kWidth);
    setClearButtonEnabled(false);
    setStyleSheet(QStringLiteral(
        "QLineEdit#SearchTextField { background: rgba(255,255,255,28); color: white; border: 1px solid rgba(255,255,255,60);"
        " border-radius: 6px; padding: 3px 6px; selection-background-color: #0A84FF; }"
        "QLineEdit#SearchTextField:focus { border: 2px solid rgba(10,132,255,200); }"));
    connect(this, &QLineEdit::textEdited, this, &SearchTextField::queryEdited);
}

void SearchTextField::setQuery(const QString &query)
{
    if (text() != query)
        setText(query);
}

void SearchTextField::focusInEvent(QFocusEvent *event)
{
    QLineEdit::focusInEvent(event);
    emit focusChanged(true);
}

void SearchTextField::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    emit focusChanged(false);
}
