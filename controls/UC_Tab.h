#pragma once
// UC_Tab: a row of tabs drawn by the program. Tabs have texts and widths (in
// twips), can be hidden, and a click selects one and raises TabClicked.

#include <QString>
#include <cstdint>
#include <vector>

#include "controls/DrawnWidget.h"

namespace lumora {

class UC_Tab : public DrawnWidget {
  Q_OBJECT

 public:
  explicit UC_Tab(QWidget* parent = nullptr);

  // The window's background and the control's place in it (twips).
  void SetBGPic(int pX, int pY, const Surface* background);
  void SetTabMinWidth(int32_t twips);
  void SetUseIndpWidth(int32_t on);  // every tab as wide as the widest text + 180 twips
  int32_t SelectedTab() const { return selected_; }
  void SetSelectedTab(int32_t index);  // shown at the next redraw
  void SetClickDisabled(int32_t on);
  void SetTabHidden(int32_t pIndex, int32_t pValue);
  void SetFontSize(float size);
  int32_t NumTab() const { return static_cast<int32_t>(tabs_.size()); }
  void SetNumTab(int32_t count);  // keeps the settings of the tabs that stay
  void SetTabStr(int32_t pIndex, const QString& pValue);
  void SetTabWidth(int32_t pTab, int32_t pValue);
  void RaiseMinTabClick();

  int32_t TabAt(int xTwips) const;  // the visible tab under x, or -1

 signals:
  void TabClicked(int pIndex);

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  struct Tab {
    QString text;
    int textWidth = 0;  // twips
    int width = 0;      // twips
    bool hidden = false;
  };
  int ShownWidth(const Tab& tab) const;  // twips, at least TabMinWidth
  void Measure();                        // text widths, and the widths that follow from them
  void Select(int32_t index);
  void Draw();
  void DrawTab(Canvas& canvas, const Tab& tab, int left, int right, bool selected);

  std::vector<Tab> tabs_;
  int32_t selected_ = 0;
  bool clickDisabled_ = false;
  bool indpWidth_ = false;
  int minWidth_ = 0;
  int fontSize_ = 9;
  const Surface* background_ = nullptr;
  QPoint backgroundAt_;  // pixels
};

}  // namespace lumora
