// replaceOwned: gives an owning raw-pointer field a new object, deleting the one it held unless
// it is the same object. The field owns what it is given; a null pointer empties it.
#pragma once

template <class T>
void replaceOwned(T*& field, T* replacement) {
    if (replacement != field)
        delete field;
    field = replacement;
}
