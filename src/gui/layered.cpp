#include "gui/layered.h"

TUIPage::TUIPage() {
  FName = "Page1";
  FLeft = 0;
  FHeight = 100;
}

TUILayered::TUILayered() {
  FName = "Layered1";
  FLeft = 0;
  FHeight = 100;
}

int TUILayered::FindPageIndex(const std::string& Name) const {
  const std::string Wanted = ShortName(Name);
  for (int I = 0; I < Count(); ++I)
    if (SameTextIgnoringCase(Get(I)->FName, Wanted))
      return I;
  return 0;
}

void TUILayered::SwitchPage(const std::string& Name) {
  const std::string Wanted = ShortName(Name);
  if (SameTextIgnoringCase(Wanted, FPageIndexName))
    return;
  FPageIndexName = Wanted;
  if (Count() > 0)
    FChildren.MoveToEnd(FindPageIndex(Wanted));
}
