
--b
content-type: image/jpeg

ÿØÿÙ
--b--