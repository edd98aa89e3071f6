#pragma once

namespace ui {
class MainHost;
}

namespace app {

// The main window's "Jelentés elkészítése": writes every row of the report query into the
// day's report file of the department and tells where it went, or why it failed. The report
// dataset ends closed on every path; an error opening it escapes to the caller's guard.
void makeReport(ui::MainHost &host);

} // namespace app
