#pragma once

#include <QRect>
#include <QString>
#include <QWidget>

class ImagePreviewView;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;

// The window that previews one file: text and RTF as plain text, images at
// their natural size in pixels (the window takes the picture's size, scaled
// down only to fit the screen's available area, never up), web-location files as their link with an open button, any
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
    // `decoded`, when not null, is the picture `path` holds, already decoded
    // by the caller (spares decoding it again).
    void load(const QString &path, const QImage &decoded = QImage());
    // Places the window above `source` (the overlay's frame), or centred on
    // the primary screen when `source` is empty.
    void placeNear(const QRect &source);

    Mode mode() const { return m_mode; }
    QString path() const { return m_path; }
    // What the current page shows: the text, the link, or the file name.
    QString shownText() const;
    QPushButton *openButton() const { return m_openButton; }
    ImagePreviewView *imageView() const { return m_imageView; }

signals:
    void closeRequested();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void showText(const QString &text);
    void showImage(const QImage &image);
    void showLink(const QString &url);
    void showFile(const QString &path);
    void showEmpty();
    void leaveImageSize();

    Mode m_mode = Mode::Empty;
    QString m_path;
    QString m_link;
    QStackedWidget *m_stack = nullptr;
    QPlainTextEdit *m_text = nullptr;
    ImagePreviewView *m_imageView = nullptr;
    QLabel *m_iconLabel = nullptr;
    QLabel *m_titleLabel = nullptr;
    QLabel *m_detailLabel = nullptr;
    QPushButton *m_openButton = nullptr;
    QWidget *m_infoPage = nullptr;
    QWidget *m_emptyPage = nullptr;
};
