#pragma once

#include <QRect>
#include <QString>
#include <QWidget>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;

// The window that previews one file: text and RTF as plain text, images
// scaled to fit, web-location files as their link with an open button, any
// other file as its icon, name and size with a button that opens it in the
// default application. Space or Escape asks to close (closeRequested), as
// does the window's close button. Main thread only.
class PreviewWindow final : public QWidget
{
    Q_OBJECT

public:
    enum class Mode { Empty, Text, Image, Link, File };

    explicit PreviewWindow(QWidget *parent = nullptr);

    // Shows `path`; an empty path shows the "nothing to preview" page.
    void load(const QString &path);
    // Places the window above `source` (the overlay's frame), or centred on
    // the primary screen when `source` is empty.
    void placeNear(const QRect &source);

    Mode mode() const { return m_mode; }
    QString path() const { return m_path; }
    // What the current page shows: the text, the link, or the file name.
    QString shownText() const;
    QPushButton *openButton() const { return m_openButton; }

signals:
    void closeRequested();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void showText(const QString &text);
    void showImage(const QImage &image);
    void showLink(const QString &url);
    void showFile(const QString &path);
    void showEmpty();
    void updateScaledImage();

    Mode m_mode = Mode::Empty;
    QString m_path;
    QString m_link;
    QImage m_image;
    QStackedWidget *m_stack = nullptr;
    QPlainTextEdit *m_text = nullptr;
    QLabel *m_imageLabel = nullptr;
    QLabel *m_iconLabel = nullptr;
    QLabel *m_titleLabel = nullptr;
    QLabel *m_detailLabel = nullptr;
    QPushButton *m_openButton = nullptr;
    QWidget *m_infoPage = nullptr;
    QWidget *m_emptyPage = nullptr;
};
