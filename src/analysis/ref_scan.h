// Finding the file references in the bytes of a show file. The show is
// not interpreted: every zero-terminated text that starts with a letter,
// a colon and a backslash is a reference.
#pragma once

#include <cstddef>
#include <string_view>

// A longer reference is cut to its first 1000 characters.
constexpr size_t kMaxReferenceLength = 1000;

// Walks a buffer reference by reference. The buffer is only read within
// [data, data + n); its end counts as the zero byte after the data, so
// the caller need not add one. The buffer must outlive the views handed out.
class CReferenceScanner {
public:
    CReferenceScanner(const char* data, size_t n);

    // The next reference, or false when the buffer holds no more. The search
    // goes on right after each colon, so a reference that holds another
    // letter, colon and backslash yields that one too.
    bool Next(std::string_view& ref);

private:
    const char* m_data;
    size_t m_n;
    size_t m_pos;   // where the search for the next colon goes on
    size_t m_zero;  // first zero byte at or after the last reference's
                    // start (m_n when there is none); not yet known at first
};

// Calls onRef(std::string_view) for every reference, in buffer order.
template <typename F>
void ForEachReference(const char* data, size_t n, F&& onRef)
{
    CReferenceScanner scanner(data, n);
    std::string_view ref;
    while (scanner.Next(ref))
        onRef(ref);
}
