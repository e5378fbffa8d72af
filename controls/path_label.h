#pragma once
// A static text of one or more lines (split at "\n") that never wraps and never cuts a line at its
// end: a line wider than the label is shortened in the middle with an ellipsis. When a line holds a
// quoted part (a file path, in straight or typographic quotes), only the quoted part is shortened,
// so the words around it stay whole. The tool tip shows the full text whenever something was
// shortened.
#include <QLabel>
#include <QString>

class CPathLabel : public QLabel {
    Q_OBJECT

public:
    explicit CPathLabel(QWidget* parent = nullptr);

    // Sets the full text; the label shows it shortened to its width.
    void SetFullText(const QString& strText);
    const QString& FullText() const { return m_strFull; }

    // `strLine` shortened in the middle (inside its quotes, when it has a quoted part) to at most
    // `nWidth` pixels in `metrics`.
    static QString ElideLine(const QString& strLine, const QFontMetrics& metrics, int nWidth);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void Refresh();

    QString m_strFull;
};
