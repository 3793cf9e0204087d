// Pictures whose header declares a huge size are refused before any pixel memory is
// taken (found by fuzzing: a 65435 x 65435 header asked for 12 GB).
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "JpegImage.h"

namespace {

class JpegLimitsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::ifstream in(std::string(SX_SOURCE_DIR) + "/resources/app/about1.jpg", std::ios::binary);
    picture_ = std::string(std::istreambuf_iterator<char>(in), {});
    sof_ = picture_.find("\xFF\xC0");
    ASSERT_NE(sof_, std::string::npos);
  }
  // The baseline frame header holds the height, then the width, big-endian.
  std::string WithSize(unsigned width, unsigned height) const {
    std::string p = picture_;
    p[sof_ + 5] = static_cast<char>(height >> 8);
    p[sof_ + 6] = static_cast<char>(height & 0xFF);
    p[sof_ + 7] = static_cast<char>(width >> 8);
    p[sof_ + 8] = static_cast<char>(width & 0xFF);
    return p;
  }
  std::string picture_;
  std::size_t sof_ = 0;
};

TEST_F(JpegLimitsTest, HugeDeclaredSizeIsRefusedAsTooLarge) {
  try {
    DecodeJpeg(WithSize(65435, 65435));
    FAIL() << "a 65435 x 65435 picture decoded";
  } catch (const EJpegError& e) {
    EXPECT_NE(std::string(e.what()).find("too large"), std::string::npos) << e.what();
  }
}

}  // namespace
