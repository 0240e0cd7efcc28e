// The Debian package: built by CPack from the install rules, with the
// dependencies dpkg-shlibdeps finds, holding every installed file under /usr.

#include "install/install_tree.h"
#include "platform/desktop_identity.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

#include <gtest/gtest.h>

using namespace qm;

TEST(debian_package, holdsTheProgramItsFilesAndItsDependencies)
{
    const QString dpkg_deb = QStandardPaths::findExecutable("dpkg-deb");
    if (dpkg_deb.isEmpty())
        GTEST_SKIP() << "dpkg-deb is not installed";

    test::temp_folder out;
    QString output;
    ASSERT_EQ(test::run_tool(QStringLiteral(QUILLMERE_CPACK),
                             {"--config", QStringLiteral(QUILLMERE_BUILD_DIR "/CPackConfig.cmake"), "-B", out.path()},
                             &output, 300000),
              0)
        << output.toStdString();
    QString architecture;
    test::run_tool("dpkg", {"--print-architecture"}, &architecture);
    const QString deb = out.path() + "quillmere_" QUILLMERE_VERSION "_" + architecture.trimmed() + ".deb";
    ASSERT_TRUE(QFileInfo::exists(deb)) << output.toStdString();

    QString info;
    ASSERT_EQ(test::run_tool(dpkg_deb, {"-I", deb}, &info), 0) << info.toStdString();
    EXPECT_TRUE(info.contains(" Package: quillmere\n")) << info.toStdString();
    EXPECT_TRUE(info.contains(" Version: " QUILLMERE_VERSION "\n")) << info.toStdString();
    EXPECT_TRUE(info.contains(" Architecture: " + architecture.trimmed() + "\n")) << info.toStdString();
    for (const char* dependency : {"libqt6core6", "libqt6gui6", "libqt6widgets6", "libqt6network6", "libsqlite3-0",
                                   "libstdc++6", "libc6", "qt6-qpa-plugins", "libqt6svg6"})
        EXPECT_TRUE(info.contains(dependency)) << dependency << " missing in\n" << info.toStdString();

    QString contents;
    ASSERT_EQ(test::run_tool(dpkg_deb, {"-c", deb}, &contents), 0) << contents.toStdString();
    EXPECT_TRUE(contents.contains(QRegularExpression("-rwxr-xr-x root/root +\\d+ [-0-9: ]+\\./usr/bin/quillmere\n")))
        << contents.toStdString();
    const QString id = platform::desktop_file_name();
    for (const QString& file :
         {QString("usr/share/quillmere/alarm.wav"), QString("usr/share/doc/quillmere/README.md"),
          "usr/share/applications/" + id + ".desktop", "usr/share/metainfo/" + id + ".metainfo.xml",
          "usr/share/icons/hicolor/scalable/apps/" + id + ".svg",
          "usr/share/icons/hicolor/16x16/apps/" + id + ".png", "usr/share/icons/hicolor/256x256/apps/" + id + ".png"})
        EXPECT_TRUE(contents.contains(QRegularExpression("-rw-r--r-- root/root +\\d+ [-0-9: ]+\\./" +
                                                         QRegularExpression::escape(file) + "\n")))
            << file.toStdString() << " missing in\n" << contents.toStdString();
    EXPECT_FALSE(contents.contains("_tests")) << "no test program is packaged";
}
