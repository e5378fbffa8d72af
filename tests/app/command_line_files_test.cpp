// Which arguments of the application's command line become files of the loading pass. The whole
// road (an installed lumicast started with a file, which the list shows "Ready") is the
// package_install_app test.
#include "app/command_line_files.h"

#include <QDir>
#include <QTest>

#include <string>
#include <vector>

class CommandLineFilesTest : public QObject {
    Q_OBJECT
private slots:
    void TakesPathsAndFileAddressesAndLeavesOutTheRest() {
        const QString strHere = QDir::currentPath();
        const QStringList arguments = {QStringLiteral("/usr/bin/lumicast"),
                                       QStringLiteral("clip one.avi"),
                                       QStringLiteral("/abs/b.mkv"),
                                       QString(),
                                       QStringLiteral("file:///films/two%20words.mp4"),
                                       QStringLiteral("https://example.org/remote.mp4"),
                                       QStringLiteral("./sub/../c.wav"),
                                       QStringLiteral("-strange name.mp4")};
        const std::vector<std::string> expected = {
            (strHere + QStringLiteral("/clip one.avi")).toStdString(), "/abs/b.mkv",
            "/films/two words.mp4", (strHere + QStringLiteral("/c.wav")).toStdString(),
            (strHere + QStringLiteral("/-strange name.mp4")).toStdString()};
        QCOMPARE(CommandLineFiles(arguments), expected);
        // The program alone, or nothing at all, names no file.
        QVERIFY(CommandLineFiles({QStringLiteral("lumicast")}).empty());
        QVERIFY(CommandLineFiles({}).empty());
    }
};

QTEST_MAIN(CommandLineFilesTest)
#include "command_line_files_test.moc"
