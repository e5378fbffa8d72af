#pragma once
// The About dialog (template 100): the application icon, the product label, the version of the
// executable, a one-line notice and a hyperlink label that shows and opens the home page.
#include <QDialog>
#include <QString>

#include <string>

#include "platform/launcher.h"

class CHyperLink;
class QLabel;

class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);

    // The version label shows the running executable's version.
    // "Version %d.%d.%d" from a file's version (the major, minor and third numbers), all three 0
    // when the file has no version record or cannot be read.
    static QString VersionText(const std::string& strExecutable);

    QLabel* ProductLabel() const { return m_pProduct; }
    QLabel* VersionLabel() const { return m_pVersion; }
    CHyperLink* Link() const { return m_pLink; }

private:
    void FitLink();

    platform::LaunchResult m_lastOpen; // how the link's last start went
    QLabel* m_pProduct = nullptr;
    QLabel* m_pVersion = nullptr;
    CHyperLink* m_pLink = nullptr;
};
