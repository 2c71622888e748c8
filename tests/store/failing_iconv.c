/* Stands in for the system's converters in a child process: every iconv_open fails as it does
   when the GBK conversion module is missing. */
#include <errno.h>
#include <iconv.h>

iconv_t iconv_open(const char* to, const char* from)
{
    (void)to;
    (void)from;
    errno = EINVAL;
    return (iconv_t)-1;
}
