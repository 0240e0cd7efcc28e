// An install into a temporary prefix puts every file where the desktop looks
// for it, and the desktop entry and the metainfo pass the desktop's checks.

#include "install/install_tree.h"
#include "platform/desktop_identity.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QMap>
#include <QStandardPaths>

#include <gtest/gtest.h>

using namespace qm;

namespace {

struct installed : ::testing::Test {
    test::temp_folder root;
    QString prefix;

    void SetUp() override
    {
        prefix = root.path() + "prefix/";
        test::install_into(prefix);
    }

    QString desktop_entry() const
    {
        return prefix + "share/applications/" + platform::desktop_file_name() + ".desktop";
    }
    QString metainfo() const { return prefix + "share/metainfo/" + platform::desktop_file_name() + ".metainfo.xml"; }
};

QByteArray read(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The keys of the "[Desktop Entry]" group.
QMap<QString, QString> desktop_keys(const QString& path)
{
    QMap<QString, QString> keys;
    bool in_group = false;
    for (const QByteArray& raw : read(path).split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.startsWith('[')) {
            in_group = line == "[Desktop Entry]";
            continue;
        }
        const int eq = line.indexOf('=');
        if (in_group && eq > 0)
            keys.insert(line.left(eq).trimmed(), line.mid(eq + 1).trimmed());
    }
    return keys;
}

}  // namespace

TEST_F(installed, everyFileLiesWhereTheDesktopAndTheProgramLookForIt)
{
    const QString id = platform::desktop_file_name();
    EXPECT_TRUE(QFileInfo(prefix + "bin/quillmere").isExecutable());
    for (const QString& file : {QString("share/quillmere/alarm.wav"), QString("share/doc/quillmere/README.md"),
                                "share/applications/" + id + ".desktop", "share/metainfo/" + id + ".metainfo.xml",
                                "share/icons/hicolor/scalable/apps/" + id + ".svg"})
        EXPECT_TRUE(QFileInfo(prefix + file).isFile()) << file.toStdString();
    EXPECT_TRUE(read(prefix + "share/quillmere/alarm.wav").startsWith("RIFF"));
    EXPECT_EQ(read(prefix + "share/icons/hicolor/scalable/apps/" + id + ".svg"),
              read(QStringLiteral(QUILLMERE_SOURCE_DIR "/assets/icons/org.quillmere.Planner.svg")));
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString png = prefix + QString("share/icons/hicolor/%1x%1/apps/").arg(size) + id + ".png";
        const QImage image(png);
        ASSERT_FALSE(image.isNull()) << png.toStdString();
        EXPECT_EQ(image.size(), QSize(size, size)) << png.toStdString();
        EXPECT_TRUE(image.hasAlphaChannel()) << png.toStdString();
    }
}

TEST_F(installed, theDesktopEntryStartsTheProgramAndNamesItsWindowsAndIcon)
{
    const QMap<QString, QString> keys = desktop_keys(desktop_entry());
    EXPECT_EQ(keys.value("Type"), "Application");
    EXPECT_EQ(keys.value("Name"), platform::application_name());
    EXPECT_EQ(keys.value("GenericName"), "Planner");
    EXPECT_FALSE(keys.value("Comment").isEmpty());
    EXPECT_EQ(keys.value("Exec"), "quillmere");  // no field codes: the program takes no files
    EXPECT_EQ(keys.value("Icon"), platform::desktop_file_name());
    EXPECT_EQ(keys.value("Categories"), "Office;ProjectManagement;Calendar;");
    // Qt names every window's class after the application name.
    EXPECT_EQ(keys.value("StartupWMClass"), platform::application_name());

    const QString validate = QStandardPaths::findExecutable("desktop-file-validate");
    if (validate.isEmpty())
        GTEST_SKIP() << "desktop-file-validate is not installed (Debian package desktop-file-utils)";
    QString output;
    EXPECT_EQ(test::run_tool(validate, {desktop_entry()}, &output), 0) << output.toStdString();
    EXPECT_EQ(output.trimmed(), "") << "hints count too";
}

TEST_F(installed, theMetainfoDescribesTheSameProgramAndValidates)
{
    const QString xml = QString::fromUtf8(read(metainfo()));
    EXPECT_TRUE(xml.contains("<id>" + platform::desktop_file_name() + "</id>"));
    EXPECT_TRUE(xml.contains("<launchable type=\"desktop-id\">" + platform::desktop_file_name() + ".desktop</launchable>"));
    EXPECT_TRUE(xml.contains("<release version=\"" QUILLMERE_VERSION "\""));
    EXPECT_TRUE(xml.contains("<binary>quillmere</binary>"));

    const QString appstreamcli = QStandardPaths::findExecutable("appstreamcli");
    if (appstreamcli.isEmpty())
        GTEST_SKIP() << "appstreamcli is not installed (Debian package appstream)";
    QString output;
    EXPECT_EQ(test::run_tool(appstreamcli, {"validate", "--no-net", "--explain", metainfo()}, &output), 0)
        << output.toStdString();
}
