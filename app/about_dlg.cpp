#include "app/about_dlg.h"

#include "app/desktop_report.h"
#include "app/download_links.h"
#include "app/toolbar_icons.h"
#include "controls/hyperlink.h"
#include "lang/resource_ids.h"
#include "lang/resource_strings.h"
#include "platform/default_browser.h"
#include "platform/program_folder.h"
#include "support/file_version.h"
#include "ui/app_name.h"
#include "ui/dialog_builder.h"
#include "ui/prompt_service.h"
#include "ui/screen_fit.h"

#include <QAbstractButton>
#include <QLabel>

namespace {

constexpr int kIconSize = 32;
constexpr int kMargin = 8;

// The picture shows the application icon; the hyperlink label is ours.
QWidget* MakeAboutControl(const lang::DialogControl& control, QWidget* parent) {
    switch (control.kind) {
    case lang::ControlKind::Picture: {
        auto* picture = new QLabel(parent);
        picture->setPixmap(ApplicationIcon().pixmap(kIconSize, kIconSize));
        picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return picture;
    }
    case lang::ControlKind::Hyperlink:
        return new CHyperLink(parent, QString::fromStdString(control.strText));
    default:
        return nullptr;
    }
}

} // namespace

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("dlg_%1").arg(ids::kDlgAbout));
    const auto& dialogs = CurrentResources().dialogs;
    const auto found = dialogs.find(ids::kDlgAbout);
    if (found != dialogs.end()) {
        const BuiltDialog built = BuildFromTemplate(this, found->second, &MakeAboutControl);
        m_pProduct = qobject_cast<QLabel*>(built.controls.value(ids::kCtlProduct, nullptr));
        m_pVersion = qobject_cast<QLabel*>(built.controls.value(ids::kCtlVersion, nullptr));
        m_pLink = qobject_cast<CHyperLink*>(built.controls.value(ids::kCtlHyperlink, nullptr));
        if (auto* ok = qobject_cast<QAbstractButton*>(built.controls.value(ids::kIdOk, nullptr))) {
            connect(ok, &QAbstractButton::clicked, this, &QDialog::accept);
        }
    }
    setWindowTitle(QStringLiteral("About ") + AppName());
    if (m_pProduct != nullptr) {
        m_pProduct->setText(AppName() + QStringLiteral(" ( tm )"));
    }
    if (m_pVersion != nullptr) {
        m_pVersion->setText(VersionText(platform::ExecutablePath()));
    }
    if (m_pLink != nullptr) {
        // The link's own message tells why it could not open; without a browser it also says what
        // to install.
        m_pLink->SetOpenFunction([this](const std::string& strAddress) {
            m_lastOpen = platform::OpenInDefaultBrowser(strAddress);
            return CHyperLink::LaunchCode(m_lastOpen);
        });
        m_pLink->SetMessageFunction([this](QWidget* pParent, const QString& strText) {
            QString strShown = strText;
            if (m_lastOpen.fault == platform::LaunchFault::kNoHandler) {
                strShown += QStringLiteral("\n\n") + InstallBrowserAdvice();
            }
            Prompts().Message(pParent, strShown, PromptButtons::Ok, PromptIcon::Warning);
        });
        m_pLink->SetURL(QString::fromStdString(
            links::HomePageAddress(platform::ProgramFolder(), AppName().toStdString())));
        FitLink();
    }
    setFixedSize(size());
    KeepOnScreen(this);
}

QString CAboutDlg::VersionText(const std::string& strExecutable) {
    int nMajor = 0;
    int nMinor = 0;
    int nThird = 0;
    FixedFileInfo info;
    std::string strError;
    if (!strExecutable.empty() && ReadFileVersionInfo(strExecutable, info, strError)) {
        nMajor = static_cast<int>(info.nFileVersionMS >> 16);
        nMinor = static_cast<int>(info.nFileVersionMS & 0xFFFFU);
        nThird = static_cast<int>(info.nFileVersionLS >> 16);
    }
    return QString::fromStdString(lang::Format("Version %d.%d.%d", nMajor, nMinor, nThird));
}

void CAboutDlg::FitLink() {
    // The address is shown whole: where it runs past the dialog's edge, the dialog grows.
    const int nRight = m_pLink->geometry().right() + kMargin;
    if (nRight > width()) {
        resize(nRight, height());
    }
}
