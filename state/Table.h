#pragma once

// Fixed-size tables of the tournament state. Index ranges are inclusive and start at 0
// (Table1<T, 200> has elements 0..200). Every access is bounds-checked: a school, entry or
// seed number read from a workbook can be anything, and a bad one must end in a reported
// error, never in a corrupted state or a crash. Storage is on the heap, so a state object
// can live on the stack.

#include <algorithm>
#include <cstddef>
#include <stdexcept>
#include <string>
#include <vector>

namespace tombra {

// A number that falls outside a table: a school, entry or seed number no table of the
// tournament can hold. The text names the table, the number and the range, for the user.
class TableIndexError : public std::out_of_range {
  public:
    using std::out_of_range::out_of_range;
};

namespace detail {

[[noreturn]] inline void throwIndexError(const char* name, const std::string& indices,
                                         const std::string& ranges) {
    throw TableIndexError("表 " + std::string(name) + " に番号 (" + indices +
                          ") はありません（範囲 " + ranges + "）");
}

}  // namespace detail

template <typename T, int Upper>
class Table1 {
    static_assert(Upper >= 0);

  public:
    using value_type = T;
    static constexpr int kUpper = Upper;
    static constexpr std::size_t kSize = static_cast<std::size_t>(Upper) + 1;

    explicit Table1(const char* name = "table") : name_(name), data_(kSize) {}

    T& operator()(long long i) { return data_[index(i)]; }
    const T& operator()(long long i) const { return data_[index(i)]; }

    void fill(const T& value) { std::fill(data_.begin(), data_.end(), value); }

    static constexpr int lower() { return 0; }
    static constexpr int upper() { return Upper; }
    static constexpr std::size_t size() { return kSize; }
    const char* name() const { return name_; }
    bool operator==(const Table1& other) const { return data_ == other.data_; }

    // All elements in index order.
    auto begin() { return data_.begin(); }
    auto end() { return data_.end(); }
    auto begin() const { return data_.begin(); }
    auto end() const { return data_.end(); }

  private:
    std::size_t index(long long i) const {
        if (i < 0 || i > Upper) {
            detail::throwIndexError(name_, std::to_string(i), "0～" + std::to_string(Upper));
        }
        return static_cast<std::size_t>(i);
    }

    const char* name_;
    std::vector<T> data_;
};

template <typename T, int RowUpper, int ColumnUpper>
class Table2 {
    static_assert(RowUpper >= 0 && ColumnUpper >= 0);

  public:
    using value_type = T;
    static constexpr int kRowUpper = RowUpper;
    static constexpr int kColumnUpper = ColumnUpper;
    static constexpr std::size_t kRows = static_cast<std::size_t>(RowUpper) + 1;
    static constexpr std::size_t kColumns = static_cast<std::size_t>(ColumnUpper) + 1;

    explicit Table2(const char* name = "table") : name_(name), data_(kRows * kColumns) {}

    T& operator()(long long i, long long j) { return data_[index(i, j)]; }
    const T& operator()(long long i, long long j) const { return data_[index(i, j)]; }

    void fill(const T& value) { std::fill(data_.begin(), data_.end(), value); }

    static constexpr int lower() { return 0; }
    static constexpr int rowUpper() { return RowUpper; }
    static constexpr int columnUpper() { return ColumnUpper; }
    static constexpr std::size_t size() { return kRows * kColumns; }
    const char* name() const { return name_; }
    bool operator==(const Table2& other) const { return data_ == other.data_; }

    // All elements, row by row.
    auto begin() { return data_.begin(); }
    auto end() { return data_.end(); }
    auto begin() const { return data_.begin(); }
    auto end() const { return data_.end(); }

  private:
    std::size_t index(long long i, long long j) const {
        if (i < 0 || i > RowUpper || j < 0 || j > ColumnUpper) {
            detail::throwIndexError(
                name_, std::to_string(i) + ", " + std::to_string(j),
                "0～" + std::to_string(RowUpper) + ", 0～" + std::to_string(ColumnUpper));
        }
        return static_cast<std::size_t>(i) * kColumns + static_cast<std::size_t>(j);
    }

    const char* name_;
    std::vector<T> data_;
};

}  // namespace tombra
