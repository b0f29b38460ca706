#pragma once

// Names for screen readers: every input control of the wizard is called by
// the caption the sighted user reads beside it.

class TForm3;

void NameWizardControls(TForm3& wizard);
