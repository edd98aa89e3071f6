#pragma once

namespace ui {
class MainHost;
}

namespace lists {

// "TAJ keresése": finds the patient's entries across all lists and opens the list manager
// on the patient's list (the chooser first when there are several) with the patient's row
// selected.
void searchTaj(ui::MainHost &host);

} // namespace lists
