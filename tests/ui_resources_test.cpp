// The program's own resources: the drawn application icon, the toolbar images, the version
// record against the build's version, and the record file chooser's settings.
#include <gtest/gtest.h>

#include <QFileDialog>
#include <QString>

#include "ui/app_icon.h"
#include "ui/board_colours.h"
#include "ui/desktop_services.h"
#include "ui/toolbar_images.h"
#include "ui/version_info.h"

namespace wintarvo {
namespace {

TEST(AppIcon, IsATwoByTwoBoardWithWhiteDiscsOnGreenAndBlackOnGrey) {
    for (int size : {16, 32, 48, 256}) {
        SCOPED_TRACE(size);
        const QImage icon = renderAppIcon(size);
        ASSERT_EQ(icon.size(), QSize(size, size));
        const int half = size / 2;
        struct Quadrant {
            int column, row;
            QColor square, disc;
        };
        for (const Quadrant q : {Quadrant{0, 0, colours::LIGHT_SQUARE, Qt::white},
                                 Quadrant{1, 1, colours::LIGHT_SQUARE, Qt::white},
                                 Quadrant{1, 0, colours::DARK_SQUARE, Qt::black},
                                 Quadrant{0, 1, colours::DARK_SQUARE, Qt::black}}) {
            const int x = q.column * half;
            const int y = q.row * half;
            EXPECT_EQ(icon.pixelColor(x, y).rgb(), q.square.rgb());  // the square's corner
            EXPECT_EQ(icon.pixelColor(x + half / 2, y + half / 2).rgb(), q.disc.rgb());
        }
    }
    EXPECT_FALSE(appIcon().isNull());
    EXPECT_GE(appIcon().availableSizes().size(), 4);
}

TEST(ToolbarImages, AreEightDistinctDrawingsOf16By15) {
    std::vector<QImage> images;
    for (int i = 0; i < TOOLBAR_IMAGE_COUNT; ++i) {
        const QImage image = toolbarImage(i).toImage();
        ASSERT_EQ(image.size(), QSize(16, 15)) << i;
        int opaque = 0;
        for (int y = 0; y < 15; ++y)
            for (int x = 0; x < 16; ++x)
                opaque += qAlpha(image.pixel(x, y)) == 255;
        // A drawing on a transparent ground.
        EXPECT_GT(opaque, 20) << i;
        EXPECT_LT(opaque, 16 * 15) << i;
        for (const QImage& earlier : images)
            EXPECT_NE(image, earlier) << i;
        images.push_back(image);
    }
}

TEST(VersionRecord, MatchesTheBuildsVersion) {
    const QString numbers = QString("%1.%2.%3.%4")
                                .arg(FILE_VERSION[0])
                                .arg(FILE_VERSION[1])
                                .arg(FILE_VERSION[2])
                                .arg(FILE_VERSION[3]);
    EXPECT_EQ(numbers.toStdString(), WINTARVO_PROJECT_VERSION);
    EXPECT_EQ(FILE_VERSION, PRODUCT_VERSION);
    EXPECT_STREQ(FILE_VERSION_TEXT, "1, 15, 904, 832");
    EXPECT_STREQ(PRODUCT_VERSION_TEXT, FILE_VERSION_TEXT);
    EXPECT_STREQ(FILE_DESCRIPTION, "WinTarvo");
    EXPECT_STREQ(INTERNAL_NAME, "Tarvo");
    EXPECT_STREQ(PRODUCT_NAME, "WinTarvo Module");
    EXPECT_STREQ(SPECIAL_BUILD, "Alpha Release");
    EXPECT_EQ(QString(PROGRAM_TITLE),
              QString("WinTarvo %1.%2").arg(FILE_VERSION[0]).arg(FILE_VERSION[1]));
}

TEST(RecordFileDialog, OffersRecordsFirstAddsTheExtensionAndConfirmsOverwriting) {
    for (const bool saving : {false, true}) {
        const auto dialog = makeRecordFileDialog(nullptr, saving);
        EXPECT_EQ(dialog->nameFilters(),
                  (QStringList{"Amazon Files (*.amz)", "SGF Files (*.sgf)", "All Files (*)"}));
        EXPECT_EQ(dialog->selectedNameFilter(), "Amazon Files (*.amz)");
        EXPECT_EQ(dialog->defaultSuffix(), "amz");
        EXPECT_TRUE(dialog->isModal());
        EXPECT_EQ(dialog->acceptMode(), saving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        EXPECT_FALSE(dialog->testOption(QFileDialog::DontConfirmOverwrite));
        // A name typed without an extension gets the one of the filter the user picks.
        emit dialog->filterSelected("SGF Files (*.sgf)");
        EXPECT_EQ(dialog->defaultSuffix(), "sgf");
        emit dialog->filterSelected("All Files (*)");
        EXPECT_EQ(dialog->defaultSuffix(), "amz");
    }
}

}  // namespace
}  // namespace wintarvo
