#include "platform/wayland/DataControlDevice.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <poll.h>
#include <unistd.h>

namespace {

// The device against a Wayland server that offers only the standard form of
// data-control, over a real socket: the server is another process, so each
// wait is for its answer, never for time to pass.
struct DataControlDeviceTest : ::testing::Test
{
    void SetUp() override
    {
        ASSERT_TRUE(runtime.isValid());
        compositor.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_RUNTIME_DIR", runtime.path());
        compositor.setProcessEnvironment(environment);
        compositor.start(FAKE_DATA_CONTROL_COMPOSITOR, {"zorv-test"});
        ASSERT_TRUE(waitFor([this] { return output.contains("ready\n"); }));
        qputenv("WAYLAND_DISPLAY", runtime.filePath("zorv-test").toUtf8());
    }
    void TearDown() override
    {
        qunsetenv("WAYLAND_DISPLAY");
        compositor.closeWriteChannel();
        compositor.waitForFinished();
    }

    // Runs the event loop until `done` holds, or a generous limit for a
    // server that never answers.
    bool waitFor(const std::function<bool()> &done)
    {
        const QDeadlineTimer limit(10000);
        QTimer wake;
        wake.start(limit.remainingTime());
        while (!done() && !limit.hasExpired()) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            output += compositor.readAllStandardOutput();
        }
        return done();
    }

    // Reads a pipe to its end.
    static QByteArray readAll(int fd)
    {
        QByteArray bytes;
        char buffer[256];
        pollfd readable{fd, POLLIN, 0};
        while (::poll(&readable, 1, 10000) > 0) {
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n <= 0)
                break;
            bytes.append(buffer, n);
        }
        ::close(fd);
        return bytes;
    }

    QTemporaryDir runtime;
    QProcess compositor;
    QByteArray output;
};

} // namespace

TEST_F(DataControlDeviceTest, SpeaksTheStandardFormWhereOnlyItIsOffered)
{
    DataControlDevice device;
    int changes = 0;
    bool lost = false;
    QObject::connect(&device, &DataControlDevice::selectionChanged, [&changes] { ++changes; });
    QObject::connect(&device, &DataControlDevice::lost, [&lost] { lost = true; });
    ASSERT_TRUE(waitFor([&device, &lost] { return device.isReady() || lost; }));
    ASSERT_FALSE(lost) << "the device found no data-control it speaks";
    EXPECT_EQ(device.protocolName(), "ext");

    compositor.write("offer text/plain;charset=utf-8 from another program\n");
    ASSERT_TRUE(waitFor([&changes] { return changes == 1; }));
    EXPECT_EQ(device.selectionTypes(), QStringList{"text/plain;charset=utf-8"});
    EXPECT_FALSE(device.ownsSelection());
    const int fd = device.receive("text/plain;charset=utf-8");
    ASSERT_GE(fd, 0);
    EXPECT_EQ(readAll(fd), "from another program");

    device.setSelection({"text/plain;charset=utf-8", "UTF8_STRING"}, [](const QString &type, int fd) {
        const QByteArray text = "zorv's copy as " + type.toUtf8();
        EXPECT_EQ(::write(fd, text.constData(), text.size()), text.size());
        ::close(fd);
    });
    ASSERT_TRUE(waitFor([this] { return output.contains("received"); }));
    EXPECT_TRUE(output.contains("selection text/plain;charset=utf-8 UTF8_STRING\n")) << output.constData();
    EXPECT_TRUE(output.contains("received zorv's copy as text/plain;charset=utf-8\n")) << output.constData();
    EXPECT_TRUE(waitFor([&changes] { return changes == 2; }));
    EXPECT_TRUE(device.ownsSelection());
    EXPECT_TRUE(device.selectionTypes().isEmpty());

    // Another program's selection replaces ours: the source is cancelled.
    compositor.write("offer text/plain again\n");
    ASSERT_TRUE(waitFor([&changes] { return changes == 3; }));
    EXPECT_FALSE(device.ownsSelection());
    EXPECT_EQ(readAll(device.receive("text/plain")), "again");
}
