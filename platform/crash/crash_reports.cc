// The test-facing reader of crash reports (standin/crash_reports.h).
#include "standin/crash_reports.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "crash_report_format.h"

namespace standin {

std::string CrashReportFolder(const std::string& home) {
  return home + "/" + kCrashReportSubfolder;
}

std::vector<CrashReport> ReadCrashReports(const std::string& home) {
  std::vector<CrashReport> reports;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(CrashReportFolder(home), error)) {
    if (!entry.is_regular_file()) continue;
    std::ifstream file(entry.path(), std::ios::binary);
    std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    CrashReport report;
    report.file_name = entry.path().filename().string();
    if (text.starts_with(kCrashReportProcessField)) {
      size_t start = sizeof(kCrashReportProcessField) - 1;
      size_t end = text.find(" [", start);
      if (end != std::string::npos) report.process = text.substr(start, end - start);
    }
    if (size_t heading = text.find(kCrashReportReasonHeading); heading != std::string::npos) {
      report.reason = text.substr(heading + sizeof(kCrashReportReasonHeading) - 1);
      if (report.reason.ends_with('\n')) report.reason.pop_back();
    }
    reports.push_back(std::move(report));
  }
  std::sort(reports.begin(), reports.end(),
            [](const CrashReport& a, const CrashReport& b) { return a.file_name < b.file_name; });
  return reports;
}

}  // namespace standin
