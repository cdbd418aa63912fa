#include "job/PrepareMetadataLibrary.h"

#include <exiv2/xmp_exiv2.hpp>

#include <mutex>

namespace
{

std::mutex g_xmpMutex;

void LockXmp(void* data, bool lock)
{
    auto* mutex = static_cast<std::mutex*>(data);
    if (lock)
        mutex->lock();
    else
        mutex->unlock();
}

} // namespace

void PrepareMetadataLibrary()
{
    static std::once_flag once;
    std::call_once(once, [] { Exiv2::XmpParser::initialize(LockXmp, &g_xmpMutex); });
}
