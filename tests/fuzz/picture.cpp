// Whatever a picture file claims, a picture answered fits in 64 MiB; the rest is an invalid picture.

#include "app/failure.h"
#include "catalogue/picture_file.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    try {
        const QImage picture = readPictureFile(writeInput(data, size));
        FUZZ_CHECK(!picture.isNull() && picture.sizeInBytes() <= 64 * 1024 * 1024);
    } catch (const Failure &failure) {
        FUZZ_CHECK(failure.code == FailureCode::InvalidPicture);
    }
    return 0;
}
