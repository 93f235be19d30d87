#pragma once

#include "AnyTypes.h"
#include "LumPoint.h"

#include <istream>
#include <ostream>
#include <string>
#include <vector>

// A named, typed reference to one member of some object: the field record
// of XMLable. It turns the member into text and back. The member is not
// owned and must outlive the record; Set writes through the pointer, so the
// member must not be a const object.
//
// Text form (GetAsString / Set(text)): int in decimal; float fixed with 3
// decimals; double fixed with 6; string as it is; bool "1"/"0"; LumPoint
// "x|y|z" fixed with 3 decimals; lists as each element followed by "|"
// (doubles in their shortest exact form). A float, double or coordinate
// that its fixed form would round is written in its shortest exact form
// instead. Numbers are read and written in the "C" convention whatever the
// process locale; a point is read in double.
//
// Line form (InsertIntoStream / Set(stream)): one value per line, vectors one
// element per line, a point three lines; numbers in their shortest exact
// form (floats as floats). A string line that would read as a marker (it
// starts with '_' or '*', or is empty in a list) is written with a '\' in
// front, which the reader drops.
class AnyPointer
{
public:
    AnyPointer(const int* member, const std::string& name);
    AnyPointer(const float* member, const std::string& name);
    AnyPointer(const double* member, const std::string& name);
    AnyPointer(const bool* member, const std::string& name);
    AnyPointer(const std::string* member, const std::string& name);
    AnyPointer(const LumPoint* member, const std::string& name);
    AnyPointer(const std::vector<std::string>* member, const std::string& name);
    AnyPointer(const std::vector<int>* member, const std::string& name);
    AnyPointer(const std::vector<double>* member, const std::string& name);
    AnyPointer(const AnyPointer&) = default;
    AnyPointer& operator=(const AnyPointer&) = default;
    virtual ~AnyPointer() = default;

    const std::string& GetName() const { return mName; }
    const void* GetPointer() const { return mTarget; }
    int GetType() const { return mType; }

    std::string GetAsString() const;
    // No error is reported: text that is not a number gives 0; a point is
    // changed only by text of exactly three pieces.
    void Set(const std::string& text) const;

    void InsertIntoStream(std::ostream& stream) const;
    // Reads the value lines of the line form; buffer (of size bytes) then
    // holds the line that follows them. Vectors end at an empty line or one
    // starting with '*' or '_'. Value lines may be of any length; false when
    // the stream ends or fails before that following line is read, when it
    // does not fit in the buffer, or for a type without a line form.
    bool Set(std::istream& stream, char* buffer, int size) const;

private:
    template <typename T> T& Target() const { return *static_cast<T*>(const_cast<void*>(mTarget)); }

    const void* mTarget;
    std::string mName;
    int mType;
};
