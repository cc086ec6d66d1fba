// The pictures the program's two windows store: every button image builds
// its slot and draws, the about window's animation plays and its banner
// shows. Read from the form sources, the same bytes the form block carries.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "controls/button/super_button.h"
#include "controls/picturebox/picture_box.h"
#include "tests/support/stage.h"

namespace ts::controls {
namespace {

using ts::test::Area;
using ts::test::Bytes;
using ts::test::Pixels;
using ts::test::PumpUntil;
using ts::test::Shot;
using ts::test::Stage;

constexpr uint32_t kUnit = 0x16010001;

Bytes ReadFormPicture(const std::string& name) {
  const std::string path = std::string("Z:") + TS_FORM_DATA_DIR + "/" + name;
  Bytes out;
  if (FILE* f = std::fopen(path.c_str(), "rb")) {
    int c;
    while ((c = std::fgetc(f)) != EOF) out.push_back(static_cast<uint8_t>(c));
    std::fclose(f);
  }
  return out;
}

TEST(StoredPictures, EveryButtonImageBuildsItsSlotAndDrawsOnAButton) {
  Stage stage;
  const std::pair<const char*, int> images[] = {
      {"scan32.png", 32},  {"stop32.png", 32},   {"help32.png", 32},     {"exit32.png", 32},
      {"add16.png", 16},   {"delete16.png", 16}, {"select16.png", 16},   {"unselect16.png", 16},
      {"clean16.png", 16}, {"open16.png", 16},   {"locate16.png", 16},   {"ok16.png", 16}};
  for (const auto& [name, edge] : images) {
    forms::SuperButtonProps props;
    props.buttonStyle = kStyle3D;
    props.caption = "";
    props.normalImage = ReadFormPicture(name);
    ASSERT_FALSE(props.normalImage.empty()) << name;
    auto* b = new SuperButton(ts::test::kStageForm, kUnit, props);
    const Bytes record = forms::WriteRecord(props);
    ASSERT_TRUE(b->Create(stage.Args(record, Area(10, 10, 60, 60), kUnit))) << name;
    const ImageSlot& slot = b->slot(Slot::kNormal);
    ASSERT_FALSE(slot.empty()) << name;
    EXPECT_EQ(slot.size().cx, edge) << name;
    EXPECT_EQ(slot.size().cy, edge) << name;
    // Something of the image is drawn: the face is not all one colour.
    const Pixels r = Shot(b->handle());
    const uint32_t face = r.at(6, 6);
    int differing = 0;
    for (int y = 30 - edge / 2; y < 30 + edge / 2; ++y)
      for (int x = 30 - edge / 2; x < 30 + edge / 2; ++x) differing += r.at(x, y) != face;
    EXPECT_GT(differing, edge) << name;
    DestroyWindow(b->handle());
  }
}

TEST(StoredPictures, TheAboutWindowsAnimationPlaysAndItsBannerShows) {
  Stage stage;
  forms::PicBoxProps anim;
  anim.backColor = 0xFFFFFF;
  anim.picture = ReadFormPicture("anim.gif");
  Bytes record = forms::WriteRecord(anim);
  auto* box = static_cast<PictureBox*>(PictureBox::CreateUnit(stage.Args(record, Area(0, 0, 93, 75), kUnit)));
  ASSERT_NE(box, nullptr);
  ASSERT_NE(box->animation(), nullptr);
  EXPECT_EQ(box->animation()->size().cx, 85);
  EXPECT_EQ(box->animation()->size().cy, 80);
  ShowWindow(box->handle(), SW_SHOWNA);
  UpdateWindow(box->handle());
  EXPECT_TRUE(PumpUntil([&] { return box->animation()->framesShown() >= 40; }, 10000))
      << box->animation()->framesShown();

  forms::PicBoxProps banner;
  banner.borderStyle = 2;
  banner.picture = ReadFormPicture("banner.jpg");
  record = forms::WriteRecord(banner);
  auto* still = static_cast<PictureBox*>(PictureBox::CreateUnit(stage.Args(record, Area(0, 100, 448, 88), kUnit)));
  ASSERT_NE(still, nullptr);
  EXPECT_TRUE(still->hasStill());
  EXPECT_EQ(still->animation(), nullptr);
}

}  // namespace
}  // namespace ts::controls
