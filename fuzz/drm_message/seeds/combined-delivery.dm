--boundary-1
Content-Type: application/vnd.oma.drm.rights+xml
Content-Transfer-Encoding: binary

<?xml version="1.0"?>
<o-ex:rights xmlns:o-ex="http://odrl.net/1.1/ODRL-EX" xmlns:o-dd="http://odrl.net/1.1/ODRL-DD" xmlns:ds="http://www.w3.org/2000/09/xmldsig#/">
<o-ex:context><o-dd:version>1.0</o-dd:version></o-ex:context>
<o-ex:agreement><o-ex:asset><o-ex:context><o-dd:uid>cid:song@example.com</o-dd:uid></o-ex:context></o-ex:asset>
<o-ex:permission><o-dd:play><o-ex:constraint><o-dd:count>3</o-dd:count></o-ex:constraint></o-dd:play></o-ex:permission></o-ex:agreement></o-ex:rights>

--boundary-1
Content-Type: text/plain; charset=utf-8
Content-ID: <song@example.com>

hello
--boundary-1--
