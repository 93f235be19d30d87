#include "AnyVariable.h"

#include "KorException.h"

AnyVariable& AnyVariable::operator=(int value)
{
    mType = ANY_INT;
    mInt = value;
    return *this;
}

AnyVariable& AnyVariable::operator=(float value)
{
    mType = ANY_FLOAT;
    mFloat = value;
    return *this;
}

AnyVariable& AnyVariable::operator=(double value)
{
    mType = ANY_DOUBLE;
    mDouble = value;
    return *this;
}

AnyVariable& AnyVariable::operator=(bool value)
{
    mType = ANY_BOOL;
    mBool = value;
    return *this;
}

AnyVariable& AnyVariable::operator=(const std::string& value)
{
    mType = ANY_STRING;
    mText = value;
    return *this;
}

AnyVariable& AnyVariable::operator=(const LumPoint& value)
{
    mType = ANY_POINT;
    mPoint = value;
    return *this;
}

AnyVariable& AnyVariable::operator=(void* value)
{
    mType = ANY_VOID_POINTER;
    mPointer = value;
    return *this;
}

void operator<<(int& destination, const AnyVariable& variable)
{
    if (variable.mType == ANY_INT)
        destination = variable.mInt;
    else
    {
        KorReport("operator << int", "The AnyVariable does not represent an int");
        destination = 0;
    }
}

void operator<<(float& destination, const AnyVariable& variable)
{
    if (variable.mType == ANY_FLOAT)
        destination = variable.mFloat;
    else if (variable.mType == ANY_DOUBLE)
        destination = static_cast<float>(variable.mDouble);
    else
    {
        KorReport("operator << float", "The AnyVariable does not represent a float");
        destination = 0.0f;
    }
}

void operator<<(double& destination, const AnyVariable& variable)
{
    if (variable.mType == ANY_DOUBLE)
        destination = variable.mDouble;
    else if (variable.mType == ANY_FLOAT)
        destination = variable.mFloat;
    else
    {
        KorReport("operator << double", "The AnyVariable does not represent a double");
        destination = 0.0;
    }
}

void operator<<(bool& destination, const AnyVariable& variable)
{
    if (variable.mType == ANY_BOOL)
        destination = variable.mBool;
    else
    {
        KorReport("operator << bool", "The AnyVariable does not represent a bool");
        destination = false;
    }
}

void operator<<(std::string& destination, const AnyVariable& variable)
{
    if (variable.mType == ANY_STRING)
        destination = variable.mText;
    else
    {
        KorReport("operator << string", "The AnyVariable does not represent a string");
        destination.clear();
    }
}

void operator<<(LumPoint& destination, const AnyVariable& variable)
{
    if (variable.mType == ANY_POINT)
        destination = variable.mPoint;
    else
    {
        KorReport("operator << LumPoint", "The AnyVariable does not represent a LumPoint");
        destination.Init();
    }
}

void operator<<(void*& destination, const AnyVariable& variable)
{
    if (variable.mType == ANY_VOID_POINTER)
        destination = variable.mPointer;
    else
    {
        KorReport("operator << void*", "The AnyVariable does not represent a void*");
        destination = nullptr;
    }
}
