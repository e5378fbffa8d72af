#include "app/command_line_files.h"

#include "app/main_frame.h"
#include "app/velmora_view.h"
#include "sources/ui/source_list.h"
#include "support/log.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QUrl>

namespace {

constexpr int kStatusColumn = 3;

} // namespace

std::vector<std::string> CommandLineFiles(const QStringList& arguments) {
    std::vector<std::string> paths;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& strArgument = arguments.at(i);
        if (strArgument.isEmpty()) {
            continue;
        }
        QString strPath = strArgument;
        if (strArgument.startsWith(QLatin1String("file:"), Qt::CaseInsensitive)) {
            const QUrl url(strArgument);
            if (!url.isValid() || !url.isLocalFile()) {
                continue;
            }
            strPath = url.toLocalFile();
        } else if (strArgument.contains(QLatin1String("://"))) {
            continue;
        }
        if (strPath.isEmpty()) {
            continue;
        }
        strPath = QDir::cleanPath(QFileInfo(strPath).absoluteFilePath());
        paths.push_back(QFile::encodeName(strPath).toStdString());
    }
    return paths;
}

void OpenCommandLineFiles(CMainFrame& frame, const QStringList& arguments) {
    const std::vector<std::string> paths = CommandLineFiles(arguments);
    if (paths.empty()) {
        return;
    }
    QPointer<CMainFrame> pFrame(&frame);
    QMetaObject::invokeMethod(
        &frame,
        [pFrame, paths] {
            CVelmoraView* pView = pFrame != nullptr ? pFrame->View() : nullptr;
            if (pView == nullptr) {
                return;
            }
            pView->LoadSources(paths);
            CSourceList* pList = pView->List();
            if (pList == nullptr) {
                return;
            }
            if (pList->RowCount() > 0 && pList->FirstSelectedRow() < 0) {
                pList->SelectOnly(pList->RowCount() - 1);
            }
            for (int nRow = 0; nRow < pList->RowCount(); ++nRow) {
                const QByteArray name = pList->Text(nRow, 0).toUtf8();
                const QByteArray status = pList->Text(nRow, kStatusColumn).toUtf8();
                WriteLogLine("Command line source %s: %s", name.constData(), status.constData());
            }
        },
        Qt::QueuedConnection);
}
