#pragma once

#include <QLabel>

// A file path on one line, cut in the middle with "…" when it does not fit, so that both the
// folder it starts in and the file name stay in sight; the whole path is its tool tip and
// accessible name. Shows a placeholder while there is no path.
class ElidedPathLabel : public QLabel {
    Q_OBJECT
public:
    explicit ElidedPathLabel(QWidget* parent = nullptr);

    void setPath(const QString& path);
    const QString& path() const { return path_; }
    void setPlaceholder(const QString& text);

    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void updateText();

    QString path_;
    QString placeholder_;
};
