#include "demo_session.h"

namespace engine {

const char kDemoSession[] =
    R"(# A notes application is frontmost; Ondrel remembers it before it records.
screens 1440x900 menubar=25 dock=70
start com.example.notes Notes
start com.example.browser Browser
focus Notes
FrontmostAppService.SnapshotFrontmostApp
# Recording: the indicator floats at the bottom centre and leaves keyboard focus with Notes.
RecordingOverlayService.Show {"phase": "listening"}
show windows
screenshot listening.png at 1.0 region 570,0,300,160
RecordingOverlayService.Show {"phase": "processing"}
screenshot transcribing.png region 570,0,300,160
# The user clicked into the browser meanwhile; Ondrel brings Notes back and pastes the transcript.
focus Browser
FrontmostAppService.RestoreFrontmostApp {"bundle_id": "com.example.notes", "app_name": "Notes", "process_id": 1001}
show apps
clipboard Meet at the station at nine.
hold shift
AutomationService.Paste
hold none
show input
show document
RecordingOverlayService.Hide
show windows
# The host side's permissions service, called through the library's own client.
ask-permissions
show permissions
)";

}  // namespace engine
