#pragma once
// The tree of what a script offers, for the report designer's data tree: under `root` the
// sections Functions, Classes, Types, Variables and Constants (found or created, in this
// order), filled from the script's own registry in name order.
//
// Every entry is an element whose attribute `text` is what the designer shows, e.g.
//   Functions / <category text="ctString"> / item text="function Copy(...)" description="..."
//   Classes / item text="TFoo = class(TObject)" / item text="property Tag: Integer"
//   Types / item text="TAlign: (alNone,alTop)"
//   Variables / item text="Counter: Integer";  Constants / item text="Pi: Extended = 3,14..."
// With `functionsOnly` only the Functions section is filled.

class TfsScript;
class TfsXMLItem;

void fsBuildItemTree(const TfsScript* script, TfsXMLItem* root, bool functionsOnly);
