#pragma once

#include "AnyTypes.h"
#include "LumPoint.h"

#include <string>

// An owning variant holding one value of int, float, double, bool, string,
// LumPoint, or an untyped pointer that it keeps without owning: undo actions
// keep their old and new values in it. Copies are independent. A
// default-constructed variable is empty (tag ANY_NONE).
//
// Values are read out with the free operators << below ("i << variable");
// a read-out of the wrong type prints one line and gives a zero value. The
// float read-out also takes a held double (narrowed) and the double read-out
// a held float (widened).
class AnyVariable
{
public:
    AnyVariable() = default;
    AnyVariable(const AnyVariable&) = default;
    AnyVariable& operator=(const AnyVariable&) = default;
    virtual ~AnyVariable() = default;

    AnyVariable& operator=(int value);
    AnyVariable& operator=(float value);
    AnyVariable& operator=(double value);
    AnyVariable& operator=(bool value);
    AnyVariable& operator=(const std::string& value);
    AnyVariable& operator=(const LumPoint& value);
    AnyVariable& operator=(void* value);
    // Without these a literal would be stored as the bool true (a pointer
    // converts to bool before it converts to std::string), and a pointer to
    // const likewise.
    AnyVariable& operator=(const char* value) { return *this = std::string(value ? value : ""); }
    template <typename T> AnyVariable& operator=(T* value) { return *this = static_cast<void*>(value); }
    template <typename T> AnyVariable& operator=(const T* value) = delete;

    int GetType() const { return mType; }

private:
    friend void operator<<(int& destination, const AnyVariable& variable);
    friend void operator<<(float& destination, const AnyVariable& variable);
    friend void operator<<(double& destination, const AnyVariable& variable);
    friend void operator<<(bool& destination, const AnyVariable& variable);
    friend void operator<<(std::string& destination, const AnyVariable& variable);
    friend void operator<<(LumPoint& destination, const AnyVariable& variable);
    friend void operator<<(void*& destination, const AnyVariable& variable);

    int mType = ANY_NONE;
    // One slot per type; only the slot of the current tag is meaningful.
    int mInt = 0;
    float mFloat = 0.0f;
    double mDouble = 0.0;
    bool mBool = false;
    std::string mText;
    LumPoint mPoint;
    void* mPointer = nullptr;
};

void operator<<(int& destination, const AnyVariable& variable);
void operator<<(float& destination, const AnyVariable& variable);
void operator<<(double& destination, const AnyVariable& variable);
void operator<<(bool& destination, const AnyVariable& variable);
void operator<<(std::string& destination, const AnyVariable& variable);
void operator<<(LumPoint& destination, const AnyVariable& variable);
// Gives the held pointer back (null on a wrong tag).
void operator<<(void*& destination, const AnyVariable& variable);
