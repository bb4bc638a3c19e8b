#pragma once
// UC_Tab: a row of tabs drawn by the program. Tabs have texts and widths (in
// twips), can be hidden, and a click selects one and raises TabClicked.

#include <QImage>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <vector>

namespace lumora {

class UC_Tab : public QWidget {
  Q_OBJECT

 public:
  explicit UC_Tab(QWidget* parent = nullptr);

  // The window's background image and the control's place in it (twips).
  void SetBGPic(int32_t pX, int32_t pY, const QImage* pObj);
  void TabMinWidth(int32_t twips);
  void UseIndpWidth(int32_t on);  // every tab as wide as the widest text + 180 twips
  int32_t SelectedTab() const { return selected_; }
  void SelectedTab(int32_t index);  // shown at the next redraw
  void ClickDisabled(int32_t on);
  void TabHidden(int32_t pIndex, int32_t pValue);
  void FontSize(float size);
  int32_t NumTab() const { return static_cast<int32_t>(tabs_.size()); }
  void NumTab(int32_t count);  // keeps the settings of the tabs that stay
  void TabStr(int32_t pIndex, const QString& pValue);
  void TabWidth(int32_t pTab, int32_t pValue);
  void RaiseMinTabClick();

  int32_t TabAt(int32_t xTwips) const;  // the visible tab under x, or -1

 signals:
  void TabClicked(int pIndex);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  struct Tab {
    QString text;
    int32_t textWidth = 0;  // twips
    int32_t width = 0;      // twips
    bool hidden = false;
    int32_t place = -1;  // among the visible tabs, -1 when hidden
  };
  int32_t ShownWidth(const Tab& tab) const;  // twips, at least TabMinWidth
  void Renumber();
  void ApplyFont();
  void Select(int32_t index);
  void Draw();

  std::vector<Tab> tabs_;
  int32_t selected_ = 0;
  bool clickDisabled_ = false;
  bool indpWidth_ = false;
  int32_t minWidth_ = 0;
  int32_t fontSize_ = 9;
  const QImage* background_ = nullptr;
  QPoint backgroundAt_;  // pixels
  QImage surface_;
};

}  // namespace lumora
