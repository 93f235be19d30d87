#pragma once

// The type tags shared by AnyPointer and AnyVariable. Their values are fixed:
// callers store and compare them as plain ints.
enum AnyType : int
{
    ANY_NONE = 0,
    ANY_INT = 1,
    ANY_FLOAT = 2,
    ANY_DOUBLE = 3,
    ANY_STRING = 4,
    ANY_BOOL = 5,
    ANY_STRING_VECTOR = 6,
    ANY_INT_VECTOR = 7,
    ANY_VOID_POINTER = 8,
    ANY_POINT = 9,
    ANY_DOUBLE_VECTOR = 10
};
