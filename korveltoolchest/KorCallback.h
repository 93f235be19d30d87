#pragma once

// A plain callback that is either a function taking one argument or a
// function taking none; both unset means "do nothing".
template <typename T> class KorCallback
{
public:
    using Function = void (*)(T);
    using FunctionVoid = void (*)();

    KorCallback() = default;
    virtual ~KorCallback() = default;

    void Set(Function function)
    {
        mFunction = function;
        mFunctionVoid = nullptr;
    }
    void Set(FunctionVoid function)
    {
        mFunction = nullptr;
        mFunctionVoid = function;
    }

    // Calls the one-argument function when set, else the other when set.
    void Call(T argument) const
    {
        if (mFunction)
            mFunction(argument);
        else if (mFunctionVoid)
            mFunctionVoid();
    }

private:
    Function mFunction = nullptr;
    FunctionVoid mFunctionVoid = nullptr;
};
