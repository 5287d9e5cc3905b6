// A page as the sources read it: any head, any body, any text flags. The same answer
// judged as a picture's body: without a content encoding, only an empty body is empty.
#include "FuzzInput.h"
#include "net/MediaBodyCheck.h"
#include "net/PageResponse.h"
#include "net/PageText.h"

using namespace pictrove;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::FuzzInput input(data, size);
    const int flags = input.takeByte() & 0x1F;
    PageResponse response;
    response.headers = QString::fromLatin1(input.takeUntil('\0'));
    response.gzip = response.headers.contains(QLatin1String("gzip"));
    response.startMarker = input.takeUntil('\0');
    response.endMarker = input.takeUntil('\0');
    response.body = input.rest();
    const QString text = getText(response, flags);
    if (text.contains(QChar(u'\0')))
        fuzz::propertyBroken("page text holds a NUL", text.left(80));
    if (text.size() > kMaxPageBytes)
        fuzz::propertyBroken("page text longer than a page may be", QString::number(text.size()));

    const QByteArray head = response.headers.toLatin1();
    const BodyRefusal refusal = checkMediaBody(head, response.body.left(kMediaCheckBytes));
    const bool encoded = response.headers.contains(QLatin1String("content-encoding"), Qt::CaseInsensitive);
    if (!encoded && response.body.isEmpty() != (refusal == BodyRefusal::Empty))
        fuzz::propertyBroken("an empty body and an empty verdict differ", response.headers.left(80));
    return 0;
}
