// The 16 x 16 images of the composite chart control, drawn once: the task
// tree's six item images and the two tab images.
#pragma once

#include <QPixmap>

namespace qmx {

// Task tree images by index.
inline constexpr int kTreeImagePriorityNone = 0;  // 0..3: prNone..prHigh
inline constexpr int kTreeImageMilestone = 4;
inline constexpr int kTreeImageSummary = 5;
inline constexpr int kTreeImageCount = 6;
inline constexpr int kIconSize = 16;

// A null pixmap for an index outside 0..5.
QPixmap TaskTreeImage(int index);
// 0: the tasks tab, 1: the resources tab.
QPixmap TabImage(int index);

}  // namespace qmx
