<?php
// Records what PHP's own multipart parser made of the request.
$f = $_FILES['filename'] ?? null;
$record = [
  'script' => $_SERVER['SCRIPT_NAME'],
  'method' => $_SERVER['REQUEST_METHOD'],
  'contentType' => $_SERVER['CONTENT_TYPE'] ?? '',
  'accept' => $_SERVER['HTTP_ACCEPT'] ?? '',
  'userAgent' => $_SERVER['HTTP_USER_AGENT'] ?? '',
  'cookie' => $_SERVER['HTTP_COOKIE'] ?? '',
  'fields' => array_keys($_FILES),
  'fullPath' => $f ? $f['full_path'] : '',
  'type' => $f ? $f['type'] : '',
  'bytes' => $f ? base64_encode(file_get_contents($f['tmp_name'])) : '',
];
$dir = __DIR__ . '/../../requests';
@mkdir($dir);
file_put_contents(sprintf('%s/%03d.json', $dir, count(glob("$dir/*.json"))), json_encode($record));
