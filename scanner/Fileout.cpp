#include "Fileout.h"

#include "wincrt.h"

TFileOut::TFileOut(TBlockList *Blocks, TSizeList *Sizes) : TOutput(Blocks, Sizes), FFile(nullptr)
{
}

TFileOut::~TFileOut()
{
    if (FFile)
        Close();
}

bool TFileOut::Open(const AnsiString &FileName)
{
    FFileName = FileName;
    Close();
    if (fopen_s(&FFile, FFileName.c_str(), "wb") != 0)
        FFile = nullptr;
    return FFile != nullptr;
}

int TFileOut::Send()
{
    if (FFile == nullptr || FBlocks == nullptr || FSizes == nullptr)
        return 1;
    auto size = FSizes->begin();
    for (auto block = FBlocks->begin(); block != FBlocks->end() && size != FSizes->end(); ++block, ++size)
        if (*block != nullptr && *size > 0)
            std::fwrite(*block, 1, static_cast<size_t>(*size), FFile);
    return 1;
}

void TFileOut::Close()
{
    if (FFile)
        std::fclose(FFile);
    FFile = nullptr;
}
