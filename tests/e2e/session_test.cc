// The application end to end: the real launcher in the built bundle loads the engine stand-in,
// which loads libkezmora_client, runs a session against it and draws the screen to PNG files.
#include <cairo.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "launcher/launcher_test_support.h"

namespace {

using ondrel::testing::ChildOptions;
using ondrel::testing::ChildRun;
using ondrel::testing::RunChild;
using ondrel::testing::TemporaryFolder;

// One run of the launcher with `arguments` (after argv[0]) in `folder`.
ChildRun RunLauncher(const TemporaryFolder& folder, std::vector<std::string> arguments,
                     const std::string& standard_input = "") {
  ChildOptions options;
  options.arguments = {ONDREL_LAUNCHER_PATH};
  options.arguments.insert(options.arguments.end(), arguments.begin(), arguments.end());
  options.working_directory = folder.path();
  options.standard_input = standard_input;
  options.environment = {"HOME=" + folder.path()};
  return RunChild(ONDREL_LAUNCHER_PATH, options, folder.path());
}

std::string WriteScript(const TemporaryFolder& folder, const std::string& text) {
  const std::string path = folder.path() + "/session.txt";
  std::ofstream(path) << text;
  return path;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) lines.push_back(line);
  return lines;
}

// A PNG read back with cairo, for pixel checks.
class Picture {
 public:
  explicit Picture(const std::string& path)
      : surface_(cairo_image_surface_create_from_png(path.c_str())) {}
  ~Picture() { cairo_surface_destroy(surface_); }
  Picture(const Picture&) = delete;
  Picture& operator=(const Picture&) = delete;

  bool ok() const { return cairo_surface_status(surface_) == CAIRO_STATUS_SUCCESS; }
  int width() const { return cairo_image_surface_get_width(surface_); }
  int height() const { return cairo_image_surface_get_height(surface_); }

  struct Pixel {
    int r, g, b, a;
  };
  // The pixel at (x, y), y counted from the top, with the alpha divided out.
  Pixel At(int x, int y) const {
    const unsigned char* row =
        cairo_image_surface_get_data(surface_) + y * cairo_image_surface_get_stride(surface_);
    uint32_t argb = 0;
    std::memcpy(&argb, row + 4 * x, 4);
    const int a = static_cast<int>(argb >> 24);
    auto channel = [&](int shift) {
      const int premultiplied = static_cast<int>((argb >> shift) & 0xFF);
      return a == 0 ? 0 : premultiplied * 255 / a;
    };
    return {channel(16), channel(8), channel(0), a};
  }

  // Whether some pixel in the rectangle is light (each channel above 200).
  bool HasLightPixel(int x0, int y0, int x1, int y1) const {
    for (int y = y0; y < y1; ++y) {
      for (int x = x0; x < x1; ++x) {
        const Pixel p = At(x, y);
        if (p.r > 200 && p.g > 200 && p.b > 200) return true;
      }
    }
    return false;
  }

 private:
  cairo_surface_t* surface_;
};

bool IsRed(Picture::Pixel p) { return p.r > 220 && p.g < 90 && p.b < 90; }

constexpr char kSession[] = R"(# Every service once, and the ways a line can fail.
screens 1280x800 menubar=24 dock=60; 1920x1080+1280+0
start com.example.editor Editor
start - Untitled Tool
focus Editor
FrontmostAppService.SnapshotFrontmostApp
RecordingOverlayService.Show {"phase": "listening"}
show windows
screenshot shown.png region 566,80,148,36
clipboard hello
AutomationService.Paste {}
show document
focus Untitled Tool
FrontmostAppService.RestoreFrontmostApp {"bundle_id": "com.example.editor", "process_id": 1001}
FrontmostAppService.RestoreFrontmostApp {"bundle_id": "com.example.missing"}
RecordingOverlayService.Show {"phase": "processing"}
show windows
RecordingOverlayService.Hide
show windows
send AutomationService.Copy
send AutomationService.Paste
SystemPermissionsService.GetPermissionsStatus
AutomationService.Copy
RecordingOverlayService.Show {"phase": 7
frobnicate now
ask-permissions
show permissions
)";

TEST(SessionTest, ScriptCoversEveryServiceAndReportsEveryFailure) {
  TemporaryFolder folder;
  const ChildRun run = RunLauncher(folder, {WriteScript(folder, kSession)});
  ASSERT_TRUE(run.exited) << run.err;
  EXPECT_EQ(run.exit_status, 1) << "rejected and failed lines make the session fail";
  EXPECT_EQ(run.err, "");

  const std::vector<std::string> expected = {
      "screen (0, 0, 1280, 800), visible (0, 60, 1280, 716)",
      "screen (1280, 0, 1920, 1080), visible (1280, 0, 1920, 1080)",
      "started Editor (com.example.editor) as process 1001",
      "started Untitled Tool (-) as process 1002",
      "process 1001 is frontmost",
      "FrontmostAppService.SnapshotFrontmostApp -> "
      "{\"bundle_id\":\"com.example.editor\",\"app_name\":\"Editor\",\"process_id\":1001}",
      "RecordingOverlayService.Show {\"phase\": \"listening\"} -> {}",
      "window: RecordingOverlayPanel frame (566, 80, 148, 36) level 3, click-through, not key, not "
      "main, \"Listening…\", animating pulse-opacity pulse-radius",
      "screenshot: " + folder.path() + "/shown.png",
      "clipboard holds \"hello\"",
      "AutomationService.Paste {} -> {}",
      "document of process 1001: \"hello\"",
      "process 1002 is frontmost",
      "FrontmostAppService.RestoreFrontmostApp {\"bundle_id\": \"com.example.editor\", "
      "\"process_id\": 1001} -> {\"success\":true}",
      "FrontmostAppService.RestoreFrontmostApp {\"bundle_id\": \"com.example.missing\"} -> "
      "{\"error\":\"No running application with bundle ID: com.example.missing\"}",
      "RecordingOverlayService.Show {\"phase\": \"processing\"} -> {}",
      "window: RecordingOverlayPanel frame (566, 80, 148, 36) level 3, click-through, not key, not "
      "main, \"Transcribing…\"",
      "RecordingOverlayService.Hide -> {}",
      "no windows on screen",
      "send AutomationService.Copy -> rejected: Method not found.",
      "send AutomationService.Paste -> replied (0 bytes)",
      "SystemPermissionsService.GetPermissionsStatus -> rejected: Service not found.",
      "line 23: no method AutomationService.Copy in the schemas (use 'send' for a call the schemas "
      "do not describe)",
  };
  const std::vector<std::string> lines = Lines(run.out);
  ASSERT_GE(lines.size(), expected.size() + 7) << run.out;
  for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(lines[i], expected[i]) << "line " << i;

  // The JSON parser's own words differ between protobuf versions; the line and type are ours.
  EXPECT_EQ(lines[expected.size()].rfind("line 24: bad JSON for RecordingOverlayPhase: ", 0), 0u)
      << lines[expected.size()];
  EXPECT_EQ(lines[expected.size() + 1],
            "line 25: unknown directive 'frobnicate' (a call is <Service>.<Method>; 'help' lists "
            "the directives)");
  // The library's own client reaches the host, answered at once and, for the prompt, later from
  // another thread.
  const std::vector<std::string> permissions(lines.begin() + expected.size() + 2, lines.end());
  EXPECT_EQ(
      permissions,
      (std::vector<std::string>{
          "SystemPermissionsServiceClient::GetPermissionsStatus -> "
          "{\"permissions\":[{\"type\":\"PERMISSION_TYPE_MICROPHONE\",\"status\":\"PERMISSION_"
          "STATUS_NOT_DETERMINED\"},{\"type\":\"PERMISSION_TYPE_ACCESSIBILITY\",\"status\":"
          "\"PERMISSION_STATUS_DENIED\"}]}",
          "SystemPermissionsServiceClient::RequestPermission(PERMISSION_TYPE_MICROPHONE) -> {}",
          "SystemPermissionsServiceClient::OpenSystemSettings(PERMISSION_TYPE_ACCESSIBILITY) "
          "-> {}",
          "SystemPermissionsServiceClient::GetPermissionsStatus -> "
          "{\"permissions\":[{\"type\":\"PERMISSION_TYPE_MICROPHONE\",\"status\":\"PERMISSION_"
          "STATUS_GRANTED\"},{\"type\":\"PERMISSION_TYPE_ACCESSIBILITY\",\"status\":"
          "\"PERMISSION_STATUS_DENIED\"}]}",
          "microphone granted, accessibility denied, settings opened at Privacy_Accessibility",
      }));

  // The picture of the panel alone (148 x 36 points at 2 pixels a point): a dark capsule with the
  // desktop showing through its rounded corners, the red dot and a light caption.
  Picture panel(folder.path() + "/shown.png");
  ASSERT_TRUE(panel.ok());
  ASSERT_EQ(panel.width(), 296);
  ASSERT_EQ(panel.height(), 72);
  const Picture::Pixel corner = panel.At(1, 1);
  const Picture::Pixel capsule = panel.At(280, 36);
  EXPECT_GT(corner.r + corner.g + corner.b, capsule.r + capsule.g + capsule.b + 150)
      << "corner outside the capsule shows the lighter desktop";
  EXPECT_LT(capsule.r, 70);
  EXPECT_LT(capsule.g, 70);
  EXPECT_LT(capsule.b, 70);
  EXPECT_TRUE(IsRed(panel.At(38, 36))) << "dot centre";
  EXPECT_TRUE(panel.HasLightPixel(64, 16, 268, 56)) << "caption";
}

TEST(SessionTest, DemoRunsWhenThereIsNoInputAndShowsTheIndicator) {
  TemporaryFolder folder;
  const ChildRun run = RunLauncher(folder, {});
  ASSERT_TRUE(run.exited) << run.err;
  EXPECT_EQ(run.exit_status, 0) << run.out;
  EXPECT_NE(run.out.find("AutomationService.Paste -> {}"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("document of process 1001: \"Meet at the station at nine.\""),
            std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("{\"success\":true}"), std::string::npos) << run.out;
  EXPECT_EQ(run.out.find("line "), std::string::npos) << "no line failed:\n" << run.out;

  // Both screenshots show the panel (region 570,0,300,160 at 2 pixels a point): the red dot at
  // desktop (665, 108) and the caption beside it.
  for (const char* name : {"listening.png", "transcribing.png"}) {
    SCOPED_TRACE(name);
    EXPECT_NE(run.out.find(std::string("screenshot: ") + folder.path() + "/" + name),
              std::string::npos);
    Picture picture(folder.path() + "/" + name);
    ASSERT_TRUE(picture.ok());
    ASSERT_EQ(picture.width(), 600);
    ASSERT_EQ(picture.height(), 320);
    EXPECT_TRUE(IsRed(picture.At(190, 104)));
    EXPECT_TRUE(picture.HasLightPixel(216, 84, 420, 124));
  }
}

TEST(SessionTest, SessionFromStandardInput) {
  TemporaryFolder folder;
  const std::string input = WriteScript(folder,
                                        "start com.example.a A\nfocus A\n"
                                        "FrontmostAppService.SnapshotFrontmostApp\n");
  const ChildRun run = RunLauncher(folder, {"-"}, input);
  ASSERT_TRUE(run.exited);
  EXPECT_EQ(run.exit_status, 0);
  EXPECT_EQ(run.out,
            "started A (com.example.a) as process 1001\n"
            "process 1001 is frontmost\n"
            "FrontmostAppService.SnapshotFrontmostApp -> "
            "{\"bundle_id\":\"com.example.a\",\"app_name\":\"A\",\"process_id\":1001}\n");
}

TEST(SessionTest, UnreadableScriptAndBadArguments) {
  TemporaryFolder folder;
  const ChildRun missing = RunLauncher(folder, {folder.path() + "/no-such-script"});
  ASSERT_TRUE(missing.exited);
  EXPECT_EQ(missing.exit_status, 1);
  EXPECT_NE(missing.err.find("cannot read session script"), std::string::npos) << missing.err;

  const ChildRun usage = RunLauncher(folder, {"--no-such-option"});
  ASSERT_TRUE(usage.exited);
  EXPECT_EQ(usage.exit_status, 64);
  EXPECT_NE(usage.err.find("usage:"), std::string::npos);
}

}  // namespace
