#pragma once

#include <QLineEdit>

// The search field of the folder bar: "Rechercher..." placeholder, 200 px
// wide. Its text follows the store's search query both ways (setQuery()
// leaves an equal text alone so the cursor does not jump); every keystroke
// is reported through queryEdited.
class SearchTextField final : public QLineEdit
{
    Q_OBJECT

public:
    static constexpr int kWidth = 200;

    explicit SearchTextField(QWidget *parent = nullptr);

    void setQuery(const QString &query);

signals:
    void queryEdited(const QString &text);
    void focusChanged(bool focused);

protected:
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
};
