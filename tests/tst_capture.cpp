#include "KeyPlatforms.h"
#include "KeyStatePoller.h"
#include "MainWindow.h"
#include "TestSupport.h"
#include "WindowCapture.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QWidget>
#include <QStatusBar>
#include <QtTest>

namespace {

// Focus and key as the test says, with a record of what was asked.
class FakeKeyPlatform : public KeyPlatform
{
public:
    bool programHasFocus() override { return focus; }
    bool isKeyDown(int virtualKey) override
    {
        askedKeys.append(virtualKey);
        return down;
    }

    bool focus = true;
    bool down = false;
    QVector<int> askedKeys;
};

// Installs a fresh fake as the poller's platform; the poller owns it.
FakeKeyPlatform *installFake()
{
    auto fake = std::make_unique<FakeKeyPlatform>();
    FakeKeyPlatform *raw = fake.get();
    KeyStatePoller::instance().setPlatform(std::move(fake));
    return raw;
}

char stateLetter(int32_t state)
{
    switch (state) {
    case KeyStatePoller::Idle: return 'I';
    case KeyStatePoller::Pressed: return 'P';
    case KeyStatePoller::Held: return 'H';
    case KeyStatePoller::Released: return 'R';
    default: return '?';
    }
}

// Brings entry 0 back to Idle through ordinary samples (the poller is a
// process-wide singleton, so each case starts from whatever came before).
void settleToIdle(FakeKeyPlatform *fake)
{
    KeyStatePoller &poller = KeyStatePoller::instance();
    fake->focus = true;
    fake->down = false;
    poller.poll();
    poller.poll();
    poller.takeRelease();
    fake->askedKeys.clear();
}

QStringList screenshots(const PortableFolder &folder)
{
    return QDir(folder.path(QStringLiteral("Screenshot"))).entryList({QStringLiteral("*.png")}, QDir::Files, QDir::Name);
}

bool runTimerTick(MainWindow *window)
{
    return QMetaObject::invokeMethod(window, "runTimer", Qt::DirectConnection);
}

const QDateTime secondJanuary(QDate(2024, 1, 2), QTime(3, 4, 5), Qt::LocalTime);

} // namespace

class CaptureTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        if (KeyStatePoller::instance().keyCount() == 0)
            KeyStatePoller::instance().addKey();
    }

    // A test may leave the key down in entry 0; the next window's timer
    // would take that as a release.
    void cleanup()
    {
        releaseWindow();
        settleToIdle(installFake());
    }

    // One letter a tick: D/U the key down/up while we hold the focus, d/u
    // the same while another program holds it. After each tick entry 0's
    // state (I, P, H, R) and whether that tick captured (1) or not (0).
    void pollerFollowsTheKey_data()
    {
        QTest::addColumn<QString>("ticks");
        QTest::addColumn<QString>("states");
        QTest::addColumn<QString>("captures");

        QTest::newRow("idle, key up") << "U" << "I" << "0";
        QTest::newRow("idle, key down") << "D" << "P" << "0";
        QTest::newRow("pressed, key up") << "DU" << "PR" << "01";
        QTest::newRow("pressed, key down") << "DD" << "PH" << "00";
        QTest::newRow("held, key down") << "DDD" << "PHH" << "000";
        QTest::newRow("held, key up") << "DDU" << "PHR" << "001";
        QTest::newRow("released, key up") << "DUU" << "PRI" << "010";
        QTest::newRow("released, key down") << "DUD" << "PRP" << "010";
        QTest::newRow("held over many ticks, one capture on release")
            << "DDDDDDDDUUU" << "PHHHHHHHRII" << "00000000100";
        QTest::newRow("two presses, two captures") << "DUDDUU" << "PRPHRI" << "010010";
        QTest::newRow("focus lost and regained while held")
            << "DDddDD" << "PHHHHH" << "000000";
        QTest::newRow("release after regaining focus") << "DddDU" << "PPPHR" << "00001";
        QTest::newRow("released while away, seen on return") << "DduU" << "PPPR" << "0001";
        QTest::newRow("focus lost right after a release") << "DUuuuu" << "PRRRRR" << "010000";
        QTest::newRow("release stays while away, then idle on return")
            << "DUuuUU" << "PRRRII" << "010000";
        QTest::newRow("key pressed while away is not sampled") << "UdddU" << "IIIII" << "00000";
    }

    void pollerFollowsTheKey()
    {
        QFETCH(QString, ticks);
        QFETCH(QString, states);
        QFETCH(QString, captures);

        KeyStatePoller &poller = KeyStatePoller::instance();
        FakeKeyPlatform *fake = installFake();
        settleToIdle(fake);
        QCOMPARE(stateLetter(poller.key(0).state), 'I');

        int focusedTicks = 0;
        QString seenStates;
        QString seenCaptures;
        for (const QChar tick : ticks) {
            fake->focus = tick.isUpper();
            fake->down = tick.toUpper() == QLatin1Char('D');
            focusedTicks += fake->focus ? 1 : 0;
            poller.poll();
            seenStates += QLatin1Char(stateLetter(poller.key(0).state));
            const bool captured = poller.takeRelease();
            seenCaptures += captured ? QLatin1Char('1') : QLatin1Char('0');
            // The window asks once a tick; a second question never repeats
            // the capture.
            QVERIFY(!poller.takeRelease());
        }
        QCOMPARE(seenStates, states);
        QCOMPARE(seenCaptures, captures);
        // No sample is taken without the focus, and only the screenshot key
        // is asked for.
        QCOMPARE(fake->askedKeys.size(), focusedTicks);
        for (int key : fake->askedKeys)
            QCOMPARE(key, 0x91);
    }

    void pollerWithoutPlatformOrFocusKeepsTheEntry()
    {
        KeyStatePoller &poller = KeyStatePoller::instance();
        FakeKeyPlatform *fake = installFake();
        settleToIdle(fake);
        fake->down = true;
        poller.poll();
        QCOMPARE(poller.key(0).state, int32_t(KeyStatePoller::Pressed));
        QVERIFY(poller.key(0).wasDown);

        poller.setPlatform(nullptr);
        poller.poll();
        QCOMPARE(poller.key(0).state, int32_t(KeyStatePoller::Pressed));
        QVERIFY(poller.key(0).wasDown);
    }

    void fileNameFor_data()
    {
        QTest::addColumn<QDateTime>("time");
        QTest::addColumn<QStringList>("existing");
        QTest::addColumn<QString>("expected");

        QTest::newRow("early morning") << secondJanuary << QStringList() << "20240102030405.png";
        QTest::newRow("evening, 24-hour clock")
            << QDateTime(QDate(2024, 1, 2), QTime(21, 0, 0), Qt::LocalTime) << QStringList() << "20240102210000.png";
        QTest::newRow("last second of the year")
            << QDateTime(QDate(2024, 12, 31), QTime(23, 59, 59), Qt::LocalTime) << QStringList()
            << "20241231235959.png";
        QTest::newRow("milliseconds do not count")
            << QDateTime(QDate(2024, 1, 2), QTime(3, 4, 5, 999), Qt::LocalTime) << QStringList()
            << "20240102030405.png";
        QTest::newRow("second capture in the same second")
            << secondJanuary << QStringList{"20240102030405.png"} << "20240102030405_1.png";
        QTest::newRow("third capture in the same second")
            << secondJanuary << QStringList{"20240102030405.png", "20240102030405_1.png"} << "20240102030405_2.png";
        QTest::newRow("a free suffix is reused")
            << secondJanuary << QStringList{"20240102030405.png", "20240102030405_2.png"} << "20240102030405_1.png";
        QTest::newRow("other seconds do not collide")
            << secondJanuary << QStringList{"20240102030404.png", "20240102030406.png"} << "20240102030405.png";
    }

    void fileNameFor()
    {
        QFETCH(QDateTime, time);
        QFETCH(QStringList, existing);
        QFETCH(QString, expected);

        QTemporaryDir directory;
        QVERIFY(directory.isValid());
        for (const QString &name : existing) {
            QFile file(directory.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        const QString prefix = directory.path() + QLatin1Char('/');
        QCOMPARE(WindowCapture::fileNameFor(time, prefix), prefix + expected);
    }

    void captureWritesTheWindowAsPng()
    {
        PortableFolder folder;
        MainWindow *window = exposed(freshWindow());
        QVERIFY(window);
        QVERIFY(!QFileInfo::exists(folder.path(QStringLiteral("Screenshot"))));

        // The folder is made on the first capture.
        const QString directory = folder.path(QStringLiteral("Screenshot"));
        QCOMPARE(WindowCapture::captureWindow(window, secondJanuary, directory),
                 folder.path(QStringLiteral("Screenshot/20240102030405.png")));
        QImage picture;
        QVERIFY(picture.load(folder.path(QStringLiteral("Screenshot/20240102030405.png")), "PNG"));
        QCOMPARE(picture.size(), window->size() * window->devicePixelRatioF());
        // What is on screen, not an empty frame.
        const QImage onScreen = window->grab().toImage().convertToFormat(picture.format());
        QCOMPARE(picture, onScreen);

        QCOMPARE(WindowCapture::captureWindow(window, secondJanuary, directory),
                 folder.path(QStringLiteral("Screenshot/20240102030405_1.png")));
        QCOMPARE(screenshots(folder), (QStringList{"20240102030405.png", "20240102030405_1.png"}));
    }

    void captureFailsQuietlyWithoutAFolder()
    {
        PortableFolder folder;
        // A file where the folder should be: it can neither be made nor used.
        folder.writeFile(QStringLiteral("Screenshot"), QByteArray("not a folder"));
        MainWindow *window = exposed(freshWindow());
        QVERIFY(window);
        const QString directory = folder.path(QStringLiteral("Screenshot"));
        QCOMPARE(WindowCapture::captureWindow(window, secondJanuary, directory), QString());
        QCOMPARE(folder.readFile(QStringLiteral("Screenshot")), QByteArray("not a folder"));
        QCOMPARE(WindowCapture::captureWindow(nullptr, secondJanuary, directory), QString());

        // Through the key, the failure is said on the status bar.
        FakeKeyPlatform *fake = installFake();
        settleToIdle(fake);
        fake->down = true;
        QVERIFY(runTimerTick(window));
        fake->down = false;
        QVERIFY(runTimerTick(window));
        QCOMPARE(window->statusBar()->currentMessage(), QString::fromUtf8("스크린샷을 저장하지 못했습니다."));
    }

    void timerTickCapturesOncePerRelease()
    {
        PortableFolder folder;
        MainWindow *window = exposed(freshWindow());
        QVERIFY(window);
        FakeKeyPlatform *fake = installFake();
        settleToIdle(fake);

        fake->down = true;
        for (int tick = 0; tick < 5; ++tick)
            QVERIFY(runTimerTick(window));
        QCOMPARE(screenshots(folder), QStringList());

        fake->down = false;
        QVERIFY(runTimerTick(window));
        QCOMPARE(screenshots(folder).size(), 1);
        // The player sees that the key did something, and where it went.
        QCOMPARE(window->statusBar()->currentMessage(),
                 QString::fromUtf8("스크린샷 저장: ") + screenshots(folder).first());
        for (int tick = 0; tick < 5; ++tick)
            QVERIFY(runTimerTick(window));
        QCOMPARE(screenshots(folder).size(), 1);

        // Released, then the focus goes: the state stays Released on every
        // tick that follows, but the picture is taken once.
        fake->down = true;
        QVERIFY(runTimerTick(window));
        fake->down = false;
        QVERIFY(runTimerTick(window));
        fake->focus = false;
        for (int tick = 0; tick < 5; ++tick)
            QVERIFY(runTimerTick(window));
        QCOMPARE(KeyStatePoller::instance().key(0).state, int32_t(KeyStatePoller::Released));
        const QStringList files = screenshots(folder);
        QCOMPARE(files.size(), 2);
        QImage picture;
        QVERIFY(picture.load(folder.path(QStringLiteral("Screenshot/") + files.first()), "PNG"));
        QCOMPARE(picture.size(), window->size() * window->devicePixelRatioF());
    }

    // Key events sent to a window: p/r press/release of Scroll Lock, a/A an
    // auto-repeated release/press, o a press and release of another key,
    // x the application losing the focus.
    void eventPlatformFollowsKeyEvents_data()
    {
        QTest::addColumn<QString>("events");
        QTest::addColumn<bool>("down");

        QTest::newRow("nothing") << "" << false;
        QTest::newRow("press") << "p" << true;
        QTest::newRow("press and release") << "pr" << false;
        QTest::newRow("auto-repeat keeps it down") << "paAaA" << true;
        QTest::newRow("release after auto-repeat") << "paAr" << false;
        QTest::newRow("still held after an auto-repeat release") << "paAa" << true;
        QTest::newRow("other keys do not count") << "o" << false;
        QTest::newRow("other keys while held") << "po" << true;
        QTest::newRow("focus lost while held") << "px" << false;
        QTest::newRow("auto-repeat after coming back") << "pxA" << true;
    }

    void eventPlatformFollowsKeyEvents()
    {
        QFETCH(QString, events);
        QFETCH(bool, down);

        QWidget window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        std::unique_ptr<KeyPlatform> platform = createEventKeyPlatform();
        QVERIFY(!platform->isKeyDown(KeyStatePoller::screenshotKey));

        auto send = [&window](QEvent::Type type, int key, bool autoRepeat) {
            QKeyEvent event(type, key, Qt::NoModifier, QString(), autoRepeat);
            QApplication::sendEvent(&window, &event);
        };
        for (const QChar letter : events) {
            switch (letter.toLatin1()) {
            case 'p': send(QEvent::KeyPress, Qt::Key_ScrollLock, false); break;
            case 'r': send(QEvent::KeyRelease, Qt::Key_ScrollLock, false); break;
            case 'A': send(QEvent::KeyPress, Qt::Key_ScrollLock, true); break;
            case 'a': send(QEvent::KeyRelease, Qt::Key_ScrollLock, true); break;
            case 'o':
                send(QEvent::KeyPress, Qt::Key_A, false);
                send(QEvent::KeyRelease, Qt::Key_A, false);
                break;
            case 'x': {
                QEvent deactivate(QEvent::ApplicationDeactivate);
                QApplication::sendEvent(qApp, &deactivate);
                break;
            }
            default: QFAIL("unknown event letter");
            }
        }
        QCOMPARE(platform->isKeyDown(KeyStatePoller::screenshotKey), down);
        // Only the screenshot key is followed.
        QVERIFY(!platform->isKeyDown(0x90));
    }

    void eventPlatformOnOwnWindows()
    {
        if (QGuiApplication::platformName() != QLatin1String("offscreen"))
            QSKIP("the key-event platform is the default only where the keyboard cannot be read directly");
        KeyStatePoller &poller = KeyStatePoller::instance();
        // On this platform the program's own choice is the key-event one.
        poller.setPlatform(createKeyPlatform());
        KeyPlatform *platform = poller.platformInUse();

        auto window = std::make_unique<QWidget>();
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        QVERIFY(platform->programHasFocus());

        poller.poll();
        poller.poll();
        poller.takeRelease();
        QCOMPARE(poller.key(0).state, int32_t(KeyStatePoller::Idle));

        // Down and up again between two ticks: never seen.
        QTest::keyPress(window.get(), Qt::Key_ScrollLock);
        QTest::keyRelease(window.get(), Qt::Key_ScrollLock);
        poller.poll();
        QVERIFY(!poller.takeRelease());
        QCOMPARE(poller.key(0).state, int32_t(KeyStatePoller::Idle));

        QTest::keyPress(window.get(), Qt::Key_ScrollLock);
        poller.poll();
        QCOMPARE(poller.key(0).state, int32_t(KeyStatePoller::Pressed));
        poller.poll();
        QCOMPARE(poller.key(0).state, int32_t(KeyStatePoller::Held));
        QTest::keyRelease(window.get(), Qt::Key_ScrollLock);
        poller.poll();
        QVERIFY(poller.takeRelease());

        window.reset();
        QTRY_VERIFY(!platform->programHasFocus());
    }
};

QTEST_MAIN(CaptureTest)
#include "tst_capture.moc"
