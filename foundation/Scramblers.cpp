#include "Scramblers.h"

#include <vector>

#include "platform/core/File.h"
#include "platform/core/Rand.h"

namespace {

// Position n stands for the 4-bit value n. Changing it makes every stored
// login and every update file written before unreadable.
constexpr char kSymbols[] = "Kq7#Zp2!Xm9$Rt4&";
static_assert(sizeof kSymbols == 17, "the symbol set holds 16 characters");

int SymbolValue(char symbol)
{
    for (int i = 0; i < 16; ++i)
        if (kSymbols[i] == symbol)
            return i;
    return -1;
}

}  // namespace

int ScrambleString(int seed, const CString& text, CString& output)
{
    SRand(static_cast<unsigned int>(seed));
    CString scrambled;
    for (int i = 0; i < text.GetLength(); ++i) {
        const int v = static_cast<signed char>(text[i]) + Rand();
        scrambled += kSymbols[v & 0x0F];
        scrambled += kSymbols[(v >> 4) & 0x0F];
    }
    output = scrambled;
    return 1;
}

int UnscrambleString(int seed, const CString& text, CString& output)
{
    SRand(static_cast<unsigned int>(seed));
    CString plain;
    for (int i = 0; i + 1 < text.GetLength(); i += 2) {
        const int lo = SymbolValue(text[i]);
        const int hi = SymbolValue(text[i + 1]);
        if (lo < 0 || hi < 0) {
            output.Empty();
            return 0;
        }
        plain += static_cast<char>((hi * 16 + lo - Rand()) & 0xFF);
    }
    output = plain;
    return 1;
}

void MakeSeededPermutation(int seed, CList<int, int>& permutation)
{
    SRand(static_cast<unsigned int>(seed));
    bool used[256] = {};
    for (int placed = 0; placed < 256;) {
        const int value = Rand() & 255;
        if (used[value])
            continue;
        used[value] = true;
        permutation.AddTail(value);
        ++placed;
    }
}

int ScrambleFile(const char* inputPath, const char* outputPath, int seed, int direction)
{
    CList<int, int> permutation;
    MakeSeededPermutation(seed, permutation);
    BYTE table[256];
    int index = 0;
    for (POSITION pos = permutation.GetHeadPosition(); pos; ++index) {
        const int value = permutation.GetNext(pos);
        if (direction)
            table[index] = static_cast<BYTE>(value);
        else
            table[value] = static_cast<BYTE>(index);
    }
    try {
        CFile input;
        CFile output;
        if (!input.Open(inputPath, CFile::modeRead | CFile::typeBinary))
            return 0;
        if (!output.Open(outputPath, CFile::modeCreate | CFile::modeWrite | CFile::typeBinary))
            return 0;
        std::vector<BYTE> chunk(65536);
        for (UINT got; (got = input.Read(chunk.data(), static_cast<UINT>(chunk.size()))) > 0;) {
            for (UINT i = 0; i < got; ++i)
                chunk[i] = table[chunk[i]];
            output.Write(chunk.data(), got);
        }
        output.Close();
        return 1;
    } catch (const CFileException&) {
        return 0;
    }
}
