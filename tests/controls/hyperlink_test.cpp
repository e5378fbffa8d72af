// The hyperlink label: its colours by state, following by mouse and space bar, and the failure
// message for every launcher result.
#include "controls/hyperlink.h"

#include "common/testkit.h"

#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QtTest>

#include <cerrno>
#include <string>
#include <vector>

namespace {

// Counts the pixels of an image near a colour.
int CountNear(const QImage& image, const QColor& color) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (std::abs(c.red() - color.red()) < 40 && std::abs(c.green() - color.green()) < 40 &&
                std::abs(c.blue() - color.blue()) < 40) {
                ++n;
            }
        }
    }
    return n;
}

// A label whose launcher answers from a script and whose messages are recorded.
struct ScriptedLink {
    explicit ScriptedLink(QWidget* pParent) : link(pParent) {
        link.SetOpenFunction([this](const std::string& strAddress) {
            opened.push_back(strAddress);
            return nResult;
        });
        link.SetMessageFunction(
            [this](QWidget*, const QString& strText) { messages.push_back(strText); });
    }
    CHyperLink link;
    int nResult = 42;
    std::vector<std::string> opened;
    QStringList messages;
};

} // namespace

class HyperLinkTest : public QObject {
    Q_OBJECT

private slots:
    void attachTakesTextAsAddressAndAddressAsText() {
        QWidget parent;
        CHyperLink fromText(&parent, QStringLiteral("file:///opt/lumicast/Lumicast.html"));
        QCOMPARE(fromText.GetURL(), QStringLiteral("file:///opt/lumicast/Lumicast.html"));
        QCOMPARE(fromText.toolTip(), fromText.GetURL());
        QVERIFY(fromText.font().underline());
        QCOMPARE(fromText.cursor().shape(), Qt::PointingHandCursor);
        QVERIFY(!fromText.autoFillBackground());

        CHyperLink empty(&parent);
        empty.setGeometry(10, 10, 400, 40);
        empty.SetURL(QStringLiteral("https://example.org/"));
        QCOMPARE(empty.text(), QStringLiteral("https://example.org/"));
        QCOMPARE(empty.toolTip(), QStringLiteral("https://example.org/"));
        // Shrunk to its text, keeping its left edge.
        QCOMPARE(empty.size(), empty.sizeHint());
        QVERIFY(empty.width() < 400);
        QCOMPARE(empty.x(), 10);

        // A label with its own text keeps it when given an address.
        CHyperLink named(&parent, QStringLiteral("Lumicast home"));
        named.SetURL(QStringLiteral("file:///x/Lumicast.html"));
        QCOMPARE(named.text(), QStringLiteral("Lumicast home"));
        QCOMPARE(named.toolTip(), QStringLiteral("file:///x/Lumicast.html"));
    }

    void coloursFollowTheStateInPriorityOrder() {
        QWidget window;
        window.resize(300, 100);
        QLineEdit other(&window);
        other.move(0, 60);
        ScriptedLink scripted(&window);
        CHyperLink& link = scripted.link;
        link.SetURL(QStringLiteral("https://example.org/"));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window, testkit::kPatientMs));
        other.setFocus();
        QCOMPARE(link.CurrentColor(), CHyperLink::LinkColor());

        // The pixels drawn are the state's colour.
        QImage image = link.grab().toImage();
        QVERIFY(CountNear(image, CHyperLink::LinkColor()) > 10);

        link.setFocus();
        QTRY_VERIFY_WITH_TIMEOUT(link.HasLinkFocus(), testkit::kPatientMs);
        QCOMPARE(link.CurrentColor(), CHyperLink::FocusColor());
        image = link.grab().toImage();
        QVERIFY(CountNear(image, CHyperLink::FocusColor()) > 10);
        QCOMPARE(CountNear(image, CHyperLink::LinkColor()), 0);

        // Hover shows red only with the hover option.
        QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
        QApplication::sendEvent(&link, &enter);
        QVERIFY(link.IsHovering());
        QCOMPARE(link.CurrentColor(), CHyperLink::FocusColor());
        link.SetOptions(link.GetOptions() | CHyperLink::kUseHover);
        QCOMPARE(link.CurrentColor(), CHyperLink::HoverColor());
        QVERIFY(CountNear(link.grab().toImage(), CHyperLink::HoverColor()) > 10);

        // Followed: purple once the mouse has left, even with the focus.
        QTest::keyClick(&link, Qt::Key_Space);
        QCOMPARE(scripted.opened.size(), std::size_t{1});
        QVERIFY(link.IsVisited());
        QCOMPARE(link.CurrentColor(), CHyperLink::HoverColor());
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(&link, &leave);
        QCOMPARE(link.CurrentColor(), CHyperLink::VisitedColor());
        other.setFocus();
        QTRY_VERIFY_WITH_TIMEOUT(!link.HasLinkFocus(), testkit::kPatientMs);
        QCOMPARE(link.CurrentColor(), CHyperLink::VisitedColor());
    }

    void followsOnReleaseAfterPressOnIt() {
        QWidget window;
        ScriptedLink scripted(&window);
        CHyperLink& link = scripted.link;
        link.SetURL(QStringLiteral("https://example.org/page"));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window, testkit::kPatientMs));

        // A release without a press on the label does nothing; neither does the right button.
        QTest::mouseRelease(&link, Qt::LeftButton, {}, QPoint(2, 2));
        QTest::mouseClick(&link, Qt::RightButton, {}, QPoint(2, 2));
        QVERIFY(scripted.opened.empty());
        // Pressed, then released outside: nothing.
        QTest::mousePress(&link, Qt::LeftButton, {}, QPoint(2, 2));
        QTest::mouseRelease(&link, Qt::LeftButton, {}, QPoint(link.width() + 20, 2));
        QVERIFY(scripted.opened.empty());
        QVERIFY(!link.IsVisited());

        QTest::mouseClick(&link, Qt::LeftButton, {}, QPoint(2, 2));
        QCOMPARE(scripted.opened, std::vector<std::string>{"https://example.org/page"});
        QVERIFY(link.IsVisited());
        QVERIFY(link.hasFocus());
        QVERIFY(scripted.messages.isEmpty());

        // With the follow-on-down option the press alone follows.
        link.SetOptions(link.GetOptions() | CHyperLink::kDownClick);
        QTest::mousePress(&link, Qt::LeftButton, {}, QPoint(2, 2));
        QCOMPARE(scripted.opened.size(), std::size_t{2});
        QTest::mouseRelease(&link, Qt::LeftButton, {}, QPoint(2, 2));
        QCOMPARE(scripted.opened.size(), std::size_t{2});
    }

    void failureShowsTheReasonAndLeavesItUnvisited_data() {
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("reason");
        QTest::newRow("0") << 0 << "The operating system is out\nof memory or resources.";
        QTest::newRow("2") << 2 << "The specified file was not found.";
        QTest::newRow("3") << 3 << "The specified path was not found.";
        QTest::newRow("5") << 5 << "The operating system denied\naccess to the specified file.";
        QTest::newRow("8") << 8 << "There was not enough memory to complete the operation.";
        QTest::newRow("11") << 11
                            << "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image).";
        QTest::newRow("26") << 26 << "A sharing violation occurred. ";
        QTest::newRow("27") << 27 << "The filename association is\nincomplete or invalid.";
        QTest::newRow("28") << 28
                            << "The DDE transaction could not\nbe completed because the request "
                               "timed out.";
        QTest::newRow("29") << 29 << "The DDE transaction failed.";
        QTest::newRow("30") << 30
                            << "The DDE transaction could not\nbe completed because other DDE "
                               "transactions\nwere being processed.";
        QTest::newRow("31") << 31
                            << "There is no application associated\nwith the given filename "
                               "extension.";
        QTest::newRow("32") << 32 << "The specified dynamic-link library was not found.";
        QTest::newRow("1") << 1 << "Unknown Error (1) occurred.";
        QTest::newRow("-7") << -7 << "Unknown Error (-7) occurred.";
    }

    void failureShowsTheReasonAndLeavesItUnvisited() {
        QFETCH(int, result);
        QFETCH(QString, reason);
        QWidget window;
        ScriptedLink scripted(&window);
        scripted.nResult = result;
        scripted.link.SetURL(QStringLiteral("https://example.org/"));
        scripted.link.Follow();
        QCOMPARE(scripted.messages, QStringList{QStringLiteral("Can't open link:\n\n") + reason});
        QVERIFY(!scripted.link.IsVisited());
        QCOMPARE(scripted.link.CurrentColor(), CHyperLink::LinkColor());
    }

    void launchOutcomesGiveTheCodesOfTheirReasons() {
        using platform::LaunchFault;
        QVERIFY(CHyperLink::LaunchCode({LaunchFault::kNone, 0}) > 32);
        // No browser set: nothing is associated with web pages (not a lack of memory).
        QCOMPARE(CHyperLink::LaunchCode({LaunchFault::kNoHandler, 0}), 31);
        QCOMPARE(CHyperLink::LaunchCode({LaunchFault::kNoResources, EAGAIN}), 0);
        QCOMPARE(CHyperLink::LaunchCode({LaunchFault::kFileNotFound, ENOENT}), 2);
        QCOMPARE(CHyperLink::LaunchCode({LaunchFault::kPathNotFound, ENOENT}), 3);
        QCOMPARE(CHyperLink::LaunchCode({LaunchFault::kAccessDenied, EACCES}), 5);
        QCOMPARE(CHyperLink::LaunchCode({LaunchFault::kBadCommand, 0}), 27);
    }

    void launcherResultJustAboveThirtyTwoCountsAsSuccess() {
        QWidget window;
        ScriptedLink scripted(&window);
        scripted.nResult = 33;
        scripted.link.Follow();
        QVERIFY(scripted.messages.isEmpty());
        QVERIFY(scripted.link.IsVisited());
    }
};

QTEST_MAIN(HyperLinkTest)
#include "hyperlink_test.moc"
