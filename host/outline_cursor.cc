#include "host/outline_cursor.h"

const OutlinePlace& OutlineCursor::Next(int32_t level) {
  while (!open_.empty() && open_.back().level >= level) open_.pop_back();
  OutlinePlace place;
  place.depth = open_.size();
  size_t& siblings = open_.empty() ? roots_ : open_.back().children;
  place.siblingIndex = siblings++;
  place.position = (open_.empty() ? "" : open_.back().place.position + ".") + std::to_string(place.siblingIndex + 1);
  open_.push_back({level, 0, std::move(place)});
  return open_.back().place;
}
