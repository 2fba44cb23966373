#include "platform/shell.h"

#include "platform/qt_text.h"

#include "platform/services.h"

#include <gtest/gtest.h>

#include <QTest>
#include <fstream>

#include "tests/temp_dir.h"

namespace suelvan::platform {
namespace {

using Kind = OpenTarget::Kind;

struct Translation {
    const char* command;
    Kind kind;
    const char* target;
};

class ShellCommand : public ::testing::TestWithParam<Translation> {};

TEST_P(ShellCommand, BecomesWhatTheOpenerReceives) {
    const auto target = ParseShellCommand(QString::fromUtf8(GetParam().command));
    ASSERT_TRUE(target.has_value()) << GetParam().command;
    EXPECT_EQ(target->kind, GetParam().kind);
    EXPECT_EQ(target->target, QString::fromUtf8(GetParam().target));
}

INSTANTIATE_TEST_SUITE_P(
    Accepted, ShellCommand,
    ::testing::Values(
        Translation{R"("/home/anwohner/Meine Programme/Sülvan.txt")", Kind::LocalFile,
                    "/home/anwohner/Meine Programme/Sülvan.txt"},
        Translation{R"("/opt/$(reboot);`x`/Sülvan.txt")", Kind::LocalFile, "/opt/$(reboot);`x`/Sülvan.txt"},
        // Only the outer quotes are the command's; a folder's name may hold quotes itself.
        Translation{R"("/home/a "Lärm" b/Sülvan.txt")", Kind::LocalFile, R"(/home/a "Lärm" b/Sülvan.txt)"},
        Translation{R"("/a" "/b")", Kind::LocalFile, R"(/a" "/b)"},
        Translation{R"(http:\\www.bi-tarnwiel.de\tarnwiel\#Beschwerdemail)", Kind::WebAddress,
                    "http://www.bi-tarnwiel.de/tarnwiel/#Beschwerdemail"},
        Translation{R"(https:\\example.org\a\b)", Kind::WebAddress, "https://example.org/a/b"}));

class RefusedCommand : public ::testing::TestWithParam<const char*> {};

TEST_P(RefusedCommand, IsNotLaunched) {
    EXPECT_FALSE(ParseShellCommand(QString::fromUtf8(GetParam())).has_value()) << GetParam();
}

INSTANTIATE_TEST_SUITE_P(Refused, RefusedCommand,
                         ::testing::Values("", "\"", "\"\"", "/tmp/Sülvan.txt", "\"Sülvan.txt\"",
                                           "\"--help\"", "notepad.exe Sülvan.txt", "xdg-open /etc",
                                           "; rm -rf /", "file:\\\\\\etc\\passwd", "ftp:\\\\example.org",
                                           "javascript:alert(1)", "http:\\\\", "http:\\\\exa mple.org",
                                           "HTTP:\\\\example.org", "http://example.org"));

// A stand-in opener on PATH that writes down its arguments and exits as told.
class DesktopOpener : public ::testing::Test {
   protected:
    void InstallOpener(int exitCode) {
        const auto script = dir_.path() / "xdg-open";
        std::ofstream(script) << "#!/bin/sh\nprintf '%s\\n' \"$#\" \"$@\" > '"
                              << (dir_.path() / "args").string() << "'\nexit " << exitCode << "\n";
        std::filesystem::permissions(script, std::filesystem::perms::owner_all);
        oldPath_ = qgetenv("PATH");
        qputenv("PATH", QByteArray::fromStdString(dir_.path().string()));
    }
    ~DesktopOpener() override { qputenv("PATH", oldPath_); }

    std::optional<QString> Open(const OpenTarget& target) {
        std::optional<QString> failure;
        OpenWithDesktop(target, &context_, [&](const QString& why) { failure = why; });
        // The opener answers through the event loop; its process object goes once it has.
        EXPECT_TRUE(QTest::qWaitFor([&] { return context_.findChildren<QObject*>().isEmpty(); }, 10000));
        return failure;
    }

    test::TempDir dir_;
    QObject context_;
    QByteArray oldPath_;
};

TEST_F(DesktopOpener, GetsTheTargetAsItsOneArgument) {
    InstallOpener(0);
    EXPECT_EQ(Open({Kind::LocalFile, QStringLiteral("/tmp/mit Leerzeichen/Sülvan.txt")}), std::nullopt);
    EXPECT_EQ(test::ReadBytes(dir_.path() / "args"), "1\n/tmp/mit Leerzeichen/Sülvan.txt\n");
}

// A folder name that is no UTF-8 reaches the opener as a file URL carrying its bytes.
TEST_F(DesktopOpener, GetsAFolderNameThatIsNoUtf8AsItsBytes) {
    InstallOpener(0);
    const QString path = ToQString(std::filesystem::path("/tmp/a\xFC \"b\"/Sülvan.txt"));
    EXPECT_EQ(Open({Kind::LocalFile, path}), std::nullopt);
    EXPECT_EQ(test::ReadBytes(dir_.path() / "args"), "1\nfile:///tmp/a%FC%20%22b%22/S%C3%BClvan.txt\n");
}

TEST(PathText, KeepsEveryByteAndShowsTheForeignOnesReadably) {
    for (const char* bytes :
         {"/tmp/Sülvan.txt", "/tmp/a\xFC/S\xC3\xBClvan.txt", "/\xFF\xC3", "/\xED\xA0\x80"}) {
        EXPECT_EQ(ToPath(ToQString(bytes)).native(), bytes);
    }
    EXPECT_EQ(Readable(ToQString("/tmp/a\xFC/Sülvan.txt")), QStringLiteral("/tmp/a\uFFFD/Sülvan.txt"));
}

TEST_F(DesktopOpener, FailureIsDescribed) {
    InstallOpener(2);
    const auto failure = Open({Kind::LocalFile, QStringLiteral("/tmp/fehlt/Sülvan.txt")});
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(*failure, QStringLiteral("Die Datei „/tmp/fehlt/Sülvan.txt“ konnte nicht geöffnet werden. "
                                       "Sie existiert nicht."));
}

TEST_F(DesktopOpener, MissingOpenerIsDescribed) {
    oldPath_ = qgetenv("PATH");
    qputenv("PATH", QByteArray::fromStdString(dir_.path().string()));
    std::optional<QString> failure;
    OpenWithDesktop({Kind::WebAddress, QStringLiteral("http://example.org/")}, &context_,
                    [&](const QString& why) { failure = why; });
    ASSERT_TRUE(failure.has_value());
    EXPECT_TRUE(failure->contains(QStringLiteral("xdg-open"))) << failure->toStdString();
}

}  // namespace
}  // namespace suelvan::platform
