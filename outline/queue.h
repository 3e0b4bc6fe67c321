// Queue<T>: a first-in-first-out queue of values (used for TreeItem).
// Push adds a copy at the back; Pop takes from the front.
#pragma once

#include <deque>
#include <exception>
#include <utility>

template <typename T>
class Queue {
 public:
  // Raised by Pop on an empty queue. Carries no data of its own.
  class ReadEmptyQueue : public std::exception {
   public:
    const char* what() const noexcept override { return "read empty queue"; }
  };

  void Push(const T& item) { items_.push_back(item); }
  void Push(T&& item) { items_.push_back(std::move(item)); }

  // Removes the front item and returns it; on an empty queue raises
  // ReadEmptyQueue and leaves the queue as it was.
  T Pop() {
    if (items_.empty()) throw ReadEmptyQueue();
    T front = std::move(items_.front());
    items_.pop_front();
    return front;
  }

  bool IsEmpty() const { return items_.empty(); }

 private:
  std::deque<T> items_;
};
